#pragma once

#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstring>
#include <tuple>

// The reader shared by the case register and the article files. Internal to storage.
namespace lunora::linereader {

// Reads a file of comma-separated lines, one record per non-blank line, and hands
// each record's fields to `emit(field, text)` followed by `endRecord()`.
//
// Fields: blanks before a field are skipped; a field that starts with a double quote
// runs to the next double quote and the reader then skips past the next comma; any
// other field runs to the next comma. Line ends are CR LF, CR or LF.
//
// Reading is line by line on purpose. Older copies of the program counted fields
// across line ends, so a single line with a comma too many (a plain line with a comma
// inside a name) shifted every later entry of the file by one field. Here a broken
// line stays one record: missing fields are empty, extra fields are ignored, and a
// quote left open ends at its line end. Lines written by the program hold exactly
// the expected number of fields and read exactly as before.
class Reader final
{
public:
    explicit Reader(QByteArrayView bytes)
        : m_data(bytes.data())
        , m_end(bytes.data() + bytes.size())
    {
    }

    // Calls onRecord(fields) for every record; `fields` is an array of `count`
    // QStrings that the callback may move from.
    template <typename Record, typename OnRecord> void read(OnRecord &&onRecord)
    {
        constexpr int count = static_cast<int>(std::tuple_size_v<Record>);
        Record record;
        // Neighbouring records often share values (date, priority, status, signature);
        // sharing one QString for them saves most of the allocations of a large file.
        std::array<QByteArrayView, count> lastBytes;
        std::array<QString, count> lastText;

        const char *p = m_data;
        while (p < m_end) {
            const char *lineEnd = findLineEnd(p);
            if (!isBlank(p, lineEnd)) {
                const char *q = p;
                for (int i = 0; i < count; ++i) {
                    const char *begin = nullptr;
                    const char *end = nullptr;
                    q = readField(q, lineEnd, begin, end);
                    const QByteArrayView bytes(begin, end - begin);
                    if (bytes.isEmpty()) {
                        record[i] = QString();
                    } else if (bytes.size() == lastBytes[i].size()
                        && std::memcmp(bytes.data(), lastBytes[i].data(), bytes.size()) == 0) {
                        record[i] = lastText[i];
                    } else {
                        lastText[i] = decodeField(bytes);
                        lastBytes[i] = bytes;
                        record[i] = lastText[i];
                    }
                }
                onRecord(record);
            }
            p = skipLineEnd(lineEnd);
        }
    }

private:
    static bool isBlankChar(char c) { return c == ' ' || c == '\t'; }
    const char *findLineEnd(const char *p) const;
    const char *skipLineEnd(const char *p) const;
    static bool isBlank(const char *p, const char *end);
    static const char *readField(const char *p, const char *lineEnd, const char *&begin, const char *&end);
    static QString decodeField(QByteArrayView bytes);

    const char *m_data;
    const char *m_end;
};

} // namespace lunora::linereader
