# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lunora developers
# Runs one fuzz target for a bounded time on a fresh copy of its seed corpus.
# Variables: FUZZER, SEEDS, WORK, SECONDS, DICTIONARY (may be empty), EXTRA (more
# libFuzzer options for this target, may be empty).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
file(GLOB seeds ${SEEDS}/*)
if(NOT seeds)
    message(FATAL_ERROR "no seed files in ${SEEDS}")
endif()
file(COPY ${seeds} DESTINATION ${WORK}/corpus)

set(arguments
    -max_total_time=${SECONDS}
    -max_len=4096
    -timeout=20
    -rss_limit_mb=2048
    -print_final_stats=1
    -artifact_prefix=${WORK}/artifacts/)
if(DICTIONARY)
    list(APPEND arguments -dict=${DICTIONARY})
endif()
if(EXTRA)
    list(APPEND arguments ${EXTRA})
endif()

execute_process(COMMAND ${FUZZER} ${arguments} ${WORK}/corpus
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(GLOB found ${WORK}/artifacts/*)
    message(FATAL_ERROR "${FUZZER} failed (${result}); reproducers: ${found}")
endif()
