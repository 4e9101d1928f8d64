#include "platform/linux/web/CodePage936.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace veltrano::platform::linux_web {
namespace {

constexpr std::uint32_t kEuroSign = 0x20AC;
constexpr std::uint32_t kReplacement = 0xFFFD;
constexpr std::size_t kChunk = 16 * 1024;

// Appends through a small local buffer so the output is touched once, in order.
template <class Out>
class ChunkWriter {
public:
    explicit ChunkWriter(Out& out) : out_(out) {}
    ~ChunkWriter() { Flush(); }
    ChunkWriter(const ChunkWriter&) = delete;
    ChunkWriter& operator=(const ChunkWriter&) = delete;

    // Room for at least four more bytes.
    char* Reserve() {
        if (used_ + 4 > buffer_.size()) Flush();
        return buffer_.data() + used_;
    }
    void Advance(std::size_t n) { used_ += n; }
    // For loops that write through a local pointer: where to write, where the
    // buffer ends, and how far the loop got.
    [[nodiscard]] char* Cursor() { return buffer_.data() + used_; }
    [[nodiscard]] const char* End() const { return buffer_.data() + buffer_.size(); }
    void Commit(const char* cursor) { used_ = static_cast<std::size_t>(cursor - buffer_.data()); }
    void Append(const void* bytes, std::size_t n) {
        const auto* from = static_cast<const char*>(bytes);
        while (n > 0) {
            if (used_ == buffer_.size()) Flush();
            const std::size_t taken = std::min(n, buffer_.size() - used_);
            std::memcpy(buffer_.data() + used_, from, taken);
            used_ += taken;
            from += taken;
            n -= taken;
        }
    }
    void Flush() {
        const auto* bytes = reinterpret_cast<const typename Out::value_type*>(buffer_.data());
        out_.insert(out_.end(), bytes, bytes + used_);
        used_ = 0;
    }

private:
    Out& out_;
    std::array<char, kChunk> buffer_{};
    std::size_t used_ = 0;
};

template <class Out>
void PutCode(ChunkWriter<Out>& writer, std::uint16_t code) {
    char* at = writer.Reserve();
    if (code == 0) {
        at[0] = '?';
        writer.Advance(1);
    } else if (code < 0x100) {
        at[0] = static_cast<char>(code);
        writer.Advance(1);
    } else {
        at[0] = static_cast<char>(code >> 8);
        at[1] = static_cast<char>(code & 0xFF);
        writer.Advance(2);
    }
}

bool IsContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

// Where the run of ASCII characters other than NUL that starts at begin ends;
// eight bytes at a time while it lasts.
std::size_t PlainAsciiRunEnd(const std::uint8_t* bytes, std::size_t begin, std::size_t end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kTops = 0x8080808080808080u;
    std::size_t at = begin;
    while (end - at >= 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + at, 8);
        // A top bit set, or a NUL byte, in any of the eight.
        if (((word | ((word - kOnes) & ~word)) & kTops) != 0) break;
        at += 8;
    }
    while (at < end && bytes[at] != 0 && bytes[at] < 0x80) ++at;
    return at;
}

// One character from UTF-8 at in[i]: sets length and returns the code point;
// an invalid sequence gives U+FFFD over its longest valid beginning (at least one byte).
std::uint32_t NextCodePoint(const std::uint8_t* in, std::size_t size, std::size_t i, std::size_t& length) {
    const std::uint8_t b0 = in[i];
    length = 1;
    if (b0 < 0x80) return b0;
    std::size_t need = 0;
    std::uint32_t code = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        code = b0 & 0x1Fu;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        code = b0 & 0x0Fu;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        code = b0 & 0x07u;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return kReplacement;
    }
    for (std::size_t k = 1; k <= need; ++k) {
        if (i + k >= size) return kReplacement;
        const std::uint8_t b = in[i + k];
        const bool fits = k == 1 ? (b >= low && b <= high) : IsContinuation(b);
        if (!fits) return kReplacement;
        code = code << 6 | (b & 0x3Fu);
        length = k + 1;
    }
    return code;
}

void PutUtf8(ChunkWriter<std::string>& writer, std::uint32_t code) {
    char* at = writer.Reserve();
    if (code < 0x80) {
        at[0] = static_cast<char>(code);
        writer.Advance(1);
    } else if (code < 0x800) {
        at[0] = static_cast<char>(0xC0 | code >> 6);
        at[1] = static_cast<char>(0x80 | (code & 0x3F));
        writer.Advance(2);
    } else {
        at[0] = static_cast<char>(0xE0 | code >> 12);
        at[1] = static_cast<char>(0x80 | (code >> 6 & 0x3F));
        at[2] = static_cast<char>(0x80 | (code & 0x3F));
        writer.Advance(3);
    }
}

// Walks code page text character by character: visit(codePoint), 0 for undefined.
template <class Visit>
void ForEachCodePage936Character(TextView text, const Visit& visit) {
    const CodePage936* table = nullptr;  // built when the first double-byte character comes
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte == 0) return;
        if (byte < 0x80) {
            visit(byte);
        } else if (byte == 0x80) {
            visit(kEuroSign);
        } else if (i + 1 < size && byte != 0xFF) {
            if (table == nullptr) table = &CodePage936::Instance();
            const auto trail = static_cast<std::uint8_t>(text[i + 1]);
            const std::uint16_t code = table->Decode(byte, trail);
            if (code != 0) {
                visit(code);
                ++i;
            } else {
                visit(0);  // the trail byte is read again on its own
            }
        } else {
            visit(0);
        }
    }
}

}  // namespace

const CodePage936& CodePage936::Instance() {
    static const CodePage936 instance;
    return instance;
}

CodePage936::CodePage936() : encode_(0x10000, 0), decode_(0x10000, 0), roundTrips_(0x10000 / 64, 0) {
    for (std::uint16_t c = 1; c < 0x80; ++c) encode_[c] = c;
    encode_[kEuroSign] = 0x80;
    iconv_t converter = iconv_open("UTF-32LE", "CP936");
    if (converter == reinterpret_cast<iconv_t>(-1)) return;
    available_ = true;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            std::uint8_t out[8] = {};
            char* inAt = in;
            auto* outAt = reinterpret_cast<char*>(out);
            std::size_t inLeft = 2;
            std::size_t outLeft = sizeof out;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
            if (iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1)) continue;
            if (sizeof out - outLeft != 4) continue;
            const std::uint32_t code = std::uint32_t{out[0]} | std::uint32_t{out[1]} << 8 | std::uint32_t{out[2]} << 16 |
                                       std::uint32_t{out[3]} << 24;
            if (code == 0 || code >= 0x10000) continue;
            const auto pair = static_cast<std::uint16_t>(lead << 8 | trail);
            decode_[pair] = static_cast<std::uint16_t>(code);
            if (encode_[code] == 0) encode_[code] = pair;
        }
    }
    iconv_close(converter);
    for (std::size_t pair = 0x8100; pair < 0x10000; ++pair) {
        if (decode_[pair] != 0 && encode_[decode_[pair]] == pair) roundTrips_[pair >> 6] |= std::uint64_t{1} << (pair & 63);
    }
}

void AppendUtf8AsCodePage936(BytesView utf8, Text& out) {
    const std::uint8_t* in = utf8.data();
    const std::size_t size = utf8.size();
    std::size_t i = 0;
    if (size >= 3 && in[0] == 0xEF && in[1] == 0xBB && in[2] == 0xBF) i = 3;
    ChunkWriter<Text> writer(out);
    const CodePage936* table = nullptr;  // built when the first other character comes
    while (i < size) {
        const std::size_t runEnd = PlainAsciiRunEnd(in, i, size);
        writer.Append(in + i, runEnd - i);
        i = runEnd;
        if (i == size || in[i] == 0) return;
        if (table == nullptr) table = &CodePage936::Instance();
        // The common case of Chinese text: well-formed three-byte characters, one
        // after another, each written as at most two bytes through a local cursor.
        char* at = writer.Cursor();
        while (i + 2 < size) {
            const std::uint8_t b0 = in[i];
            if ((b0 & 0xF0) != 0xE0 || b0 == 0xE0 || b0 == 0xED || !IsContinuation(in[i + 1]) ||
                !IsContinuation(in[i + 2])) {
                break;
            }
            if (writer.End() - at < 2) {
                writer.Commit(at);
                writer.Flush();
                at = writer.Cursor();
            }
            const std::uint32_t code = (b0 & 0x0Fu) << 12 | (in[i + 1] & 0x3Fu) << 6 | (in[i + 2] & 0x3Fu);
            i += 3;
            const std::uint16_t gbk = table->Encode(code);
            if (gbk >= 0x100) {
                at[0] = static_cast<char>(gbk >> 8);
                at[1] = static_cast<char>(gbk & 0xFF);
                at += 2;
            } else {
                *at++ = gbk == 0 ? '?' : static_cast<char>(gbk);
            }
        }
        writer.Commit(at);
        if (i < size && in[i] >= 0x80) {
            std::size_t length = 1;
            const std::uint32_t code = NextCodePoint(in, size, i, length);
            i += length;
            PutCode(writer, table->Encode(code));
        }
    }
}

void AppendCodePage936AsUtf8(TextView text, std::string& out) {
    ChunkWriter<std::string> writer(out);
    ForEachCodePage936Character(text, [&writer](std::uint32_t code) { PutUtf8(writer, code == 0 ? '?' : code); });
}

void AppendCodePage936RoundTripSlow(TextView text, Bytes& out);

void AppendCodePage936RoundTrip(TextView text, Bytes& out) {
    // Runs of ASCII and of pairs that come back unchanged are copied whole.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    std::size_t size = text.size();
    if (const auto nul = text.find('\0'); nul != TextView::npos) size = nul;
    const CodePage936* table = nullptr;  // built when the first double-byte character comes
    std::size_t done = 0;
    while (done < size) {
        std::size_t end = done;
        while (end < size) {
            end = PlainAsciiRunEnd(bytes, end, size);
            if (end == size) break;
            if (table == nullptr) table = &CodePage936::Instance();
            while (end + 1 < size && bytes[end] >= 0x80 && table->RoundTrips(bytes[end], bytes[end + 1])) end += 2;
            if (end < size && bytes[end] >= 0x80) break;
        }
        out.insert(out.end(), bytes + done, bytes + end);
        if (end == size) return;
        // One character that needs the slow way: an undefined pair, the euro sign, a lone lead byte.
        const bool definedPair = bytes[end] >= 0x81 && bytes[end] != 0xFF && end + 1 < size &&
                                 table->Decode(bytes[end], bytes[end + 1]) != 0;
        const std::size_t length = definedPair ? 2 : 1;
        AppendCodePage936RoundTripSlow(text.substr(end, length), out);
        done = end + length;
    }
}

void AppendCodePage936RoundTripSlow(TextView text, Bytes& out) {
    const auto& table = CodePage936::Instance();
    ChunkWriter<Bytes> writer(out);
    ForEachCodePage936Character(text, [&](std::uint32_t code) { PutCode(writer, code == 0 ? 0 : table.Encode(code)); });
}

}  // namespace veltrano::platform::linux_web
