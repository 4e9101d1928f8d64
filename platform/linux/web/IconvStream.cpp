#include "platform/linux/web/IconvStream.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>

#include "platform/linux/web/CodePage936.h"

namespace veltrano::platform::linux_web {
namespace {

struct IconvClose {
    void operator()(void* converter) const { iconv_close(static_cast<iconv_t>(converter)); }
};
using UniqueIconv = std::unique_ptr<void, IconvClose>;

UniqueIconv OpenIconv(const std::string& to, const std::string& from) {
    iconv_t converter = iconv_open(to.c_str(), from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return UniqueIconv(converter);
}

std::string Lower(TextView text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// Converts all of in with iconv; each sequence it cannot take becomes
// substitute and conversion goes on one input character (inStep bytes) later.
template <class Out>
void ConvertWithSubstitute(iconv_t converter, std::string_view in, Out& out, std::string_view substitute,
                           bool utf8Input) {
    std::array<char, 16 * 1024> buffer{};
    char* inAt = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        char* outAt = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(converter, &inAt, &inLeft, &outAt, &outLeft);
        const auto* produced = reinterpret_cast<const typename Out::value_type*>(buffer.data());
        out.insert(out.end(), produced, produced + (buffer.size() - outLeft));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // EILSEQ or EINVAL: skip one character of input and put the substitute.
        std::size_t step = 1;
        if (utf8Input) {
            while (step < inLeft && (static_cast<unsigned char>(inAt[step]) & 0xC0) == 0x80) ++step;
        }
        step = std::min(step, inLeft);
        inAt += step;
        inLeft -= step;
        out.insert(out.end(), reinterpret_cast<const typename Out::value_type*>(substitute.data()),
                   reinterpret_cast<const typename Out::value_type*>(substitute.data() + substitute.size()));
    }
}

}  // namespace

struct IconvCharsetStream::Charset {
    enum class Kind { Utf8, CodePage936, Other };
    Kind kind = Kind::Utf8;
    std::string iconvName;

    static std::unique_ptr<Charset> Named(TextView name) {
        const std::string lower = Lower(name);
        auto charset = std::make_unique<Charset>();
        if (lower == "utf-8" || lower == "utf8") {
            charset->kind = Kind::Utf8;
        } else if (lower == "gbk" || lower == "cp936" || lower == "gb2312" || lower == "x-cp936" ||
                   lower == "windows-936" || lower == "ms936") {
            charset->kind = Kind::CodePage936;
        } else {
            charset->kind = Kind::Other;
            charset->iconvName = lower == "unicode" ? "UTF-16LE" : std::string(name);
            if (!OpenIconv("UTF-8", charset->iconvName) || !OpenIconv(charset->iconvName, "UTF-8")) return nullptr;
        }
        return charset;
    }

    // Bytes in this charset to code page text.
    [[nodiscard]] Text Decode(BytesView bytes) const {
        Text text;
        text.reserve(bytes.size());
        switch (kind) {
            case Kind::Utf8:
                AppendUtf8AsCodePage936(bytes, text);
                break;
            case Kind::CodePage936: {
                Bytes canonical;
                AppendCodePage936RoundTrip(TextView(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                                           canonical);
                text.assign(canonical.begin(), canonical.end());
                break;
            }
            case Kind::Other: {
                std::string utf8;
                if (auto converter = OpenIconv("UTF-8", iconvName)) {
                    ConvertWithSubstitute(static_cast<iconv_t>(converter.get()),
                                          {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, utf8,
                                          "\xEF\xBF\xBD", false);
                }
                AppendUtf8AsCodePage936({reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()}, text);
                break;
            }
        }
        return text;
    }

    // Code page text to bytes in this charset.
    [[nodiscard]] Bytes Encode(TextView text) const {
        Bytes bytes;
        if (kind == Kind::CodePage936) {
            bytes.reserve(text.size());
            AppendCodePage936RoundTrip(text, bytes);
            return bytes;
        }
        std::string utf8;
        utf8.reserve(text.size() * 3 / 2);
        AppendCodePage936AsUtf8(text, utf8);
        if (kind == Kind::Utf8) return Bytes(utf8.begin(), utf8.end());
        auto converter = OpenIconv(iconvName, "UTF-8");
        auto question = OpenIconv(iconvName, "UTF-8");
        if (!converter || !question) return bytes;
        std::string substitute;
        ConvertWithSubstitute(static_cast<iconv_t>(question.get()), "?", substitute, "", true);
        ConvertWithSubstitute(static_cast<iconv_t>(converter.get()), utf8, bytes, substitute, true);
        return bytes;
    }
};

IconvCharsetStream::IconvCharsetStream() : charset_(Charset::Named("Unicode")) {}
IconvCharsetStream::~IconvCharsetStream() = default;

void IconvCharsetStream::SetType(std::int32_t type) {
    if (type != web::kStreamTypeBinary && type != web::kStreamTypeText) return;
    if (open_ && position_ != 0) return;  // the type changes only at the start
    type_ = type;
}

void IconvCharsetStream::SetPosition(std::int32_t position) {
    if (!open_ || position < 0 || static_cast<std::size_t>(position) > content_.size()) return;
    position_ = static_cast<std::size_t>(position);
}

void IconvCharsetStream::SetCharset(TextView charset) {
    if (open_ && position_ != 0) return;
    if (auto named = Charset::Named(charset)) charset_ = std::move(named);
}

void IconvCharsetStream::Open() {
    if (open_) return;
    open_ = true;
    content_.clear();
    position_ = 0;
}

void IconvCharsetStream::Write(BytesView data) {
    if (!open_ || type_ != web::kStreamTypeBinary) return;
    if (position_ == content_.size()) {
        content_.insert(content_.end(), data.begin(), data.end());
        position_ = content_.size();
        return;
    }
    WriteAtPosition(Bytes(data.begin(), data.end()));
}

Text IconvCharsetStream::ReadText() {
    if (!open_ || type_ != web::kStreamTypeText || !charset_) return {};
    Text text = charset_->Decode(BytesView(content_).subspan(position_));
    position_ = content_.size();
    return text;
}

void IconvCharsetStream::Close() {
    if (!open_) return;
    open_ = false;
    Bytes().swap(content_);  // the contents go with the close
    position_ = 0;
}

void IconvCharsetStream::WriteText(TextView text) {
    if (!open_ || type_ != web::kStreamTypeText || !charset_) return;
    const TextView beforeNul = text.substr(0, text.find('\0'));
    if (position_ == content_.size() && content_.empty()) {
        content_ = charset_->Encode(beforeNul);
        position_ = content_.size();
        return;
    }
    WriteAtPosition(charset_->Encode(beforeNul));
}

Bytes IconvCharsetStream::Read() {
    if (!open_ || type_ != web::kStreamTypeBinary) return {};
    Bytes bytes(content_.begin() + static_cast<std::ptrdiff_t>(position_), content_.end());
    position_ = content_.size();
    return bytes;
}

void IconvCharsetStream::WriteAtPosition(const Bytes& bytes) {
    const std::size_t end = position_ + bytes.size();
    if (end > content_.size()) content_.resize(end);
    std::copy(bytes.begin(), bytes.end(), content_.begin() + static_cast<std::ptrdiff_t>(position_));
    position_ = end;
}

std::unique_ptr<web::CharsetStream> IconvAutomation::CreateObject(TextView progId) {
    if (Lower(progId) != "adodb.stream") return nullptr;
    return std::make_unique<IconvCharsetStream>();
}

}  // namespace veltrano::platform::linux_web
