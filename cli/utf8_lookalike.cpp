// A pass over a file's bytes, chunk by chunk, for UTF-8 where Windows-1252 belongs.
#include "utf8_lookalike.h"

#include "utf8_text.h"
#include "windows1252.h"

#include <algorithm>

#include <vector>

namespace brevorn {

namespace {

constexpr std::size_t ChunkSize = 64 * 1024;
constexpr std::size_t WordLimit = 48; // bytes of the word kept on each side of its first non-ASCII character

bool endsWord(unsigned char c)
{
    return c <= ' ' || c == ',' || c == '=' || c == '"';
}

} // namespace

std::optional<Utf8Lookalike> findUtf8Lookalike(std::istream& in)
{
    std::optional<Utf8Lookalike> found;
    bool wordOpen = false; // found, and its word not yet ended
    std::string word;      // before found: the word so far
    std::int64_t line = 1;
    bool afterReturn = false;

    std::vector<char> buffer(ChunkSize + 4);
    std::size_t carried = 0; // the start of a character cut by the chunk's end
    for (;;) {
        in.read(buffer.data() + carried, static_cast<std::streamsize>(ChunkSize));
        const std::size_t size = carried + static_cast<std::size_t>(in.gcount());
        const bool atEnd = in.gcount() == 0 || !in;
        const std::string_view bytes(buffer.data(), size);

        std::size_t i = 0;
        while (i < size) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            if (c < 0x80) {
                if (!found) {
                    // Line ends as the reader counts them: CR LF, a lone LF, a lone CR.
                    if (c == '\r' || (c == '\n' && !afterReturn))
                        ++line;
                    afterReturn = c == '\r';
                    if (endsWord(c))
                        word.clear();
                    else if (word.size() < 2 * WordLimit)
                        word += static_cast<char>(c);
                    else
                        word.erase(0, WordLimit).push_back(static_cast<char>(c));
                } else if (wordOpen) {
                    if (endsWord(c))
                        wordOpen = false;
                    else if (found->word.size() < 3 * WordLimit)
                        found->word += static_cast<char>(c);
                }
                ++i;
                continue;
            }
            const std::size_t expected = utf8LengthFromLead(c);
            if (expected != 0 && i + expected > size && !atEnd)
                break; // the rest of this character comes with the next chunk
            const std::size_t length = utf8CharacterLength(bytes, i);
            if (length == 0)
                return std::nullopt; // not UTF-8 after all
            if (!found) {
                found = Utf8Lookalike{line, word.substr(word.size() > WordLimit ? word.size() - WordLimit : 0)};
                wordOpen = true;
            }
            if (wordOpen && found->word.size() + length <= 3 * WordLimit)
                found->word.append(bytes.substr(i, length));
            i += length;
        }
        if (atEnd)
            return found;
        carried = size - i;
        std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(i), buffer.begin() + static_cast<std::ptrdiff_t>(size),
                  buffer.begin());
    }
}

std::optional<std::string> textBeforeUtf8ReadAsWindows1252(std::string_view text)
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::nullopt;
    std::optional<std::string> bytes = utf8ToWindows1252(text);
    if (!bytes || firstNonUtf8(*bytes) != std::string::npos)
        return std::nullopt;
    return bytes;
}

} // namespace brevorn
