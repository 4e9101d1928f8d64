#include "platform/linux/gui/GbkString.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace veltrano::linuxgui {

namespace {

class IconvConverter {
public:
    IconvConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~IconvConverter() {
        if (valid()) iconv_close(handle_);
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    [[nodiscard]] bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input; each unconvertible piece is skipped by skipLength and
    // replaced by replacement. Output grows in amortised time.
    template <class SkipLength>
    [[nodiscard]] std::string Convert(std::string_view input, std::string_view replacement,
                                      SkipLength skipLength) const {
        std::string output;
        output.reserve(input.size() * 3 / 2 + 16);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* out = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<size_t>(out - buffer));
            if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
            // EILSEQ or EINVAL (a piece cut short at the end): replace it and go on.
            const size_t skip = std::min(inLeft, skipLength(std::string_view(in, inLeft)));
            output.append(replacement);
            in += skip;
            inLeft -= skip;
        }
        return output;
    }

private:
    iconv_t handle_;
};

// Length of the UTF-8 sequence at the front, at least 1.
size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    for (size_t i = 1; i < length; ++i) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return i;
    }
    return length;
}

}  // namespace

QString GbkToQString(TextView text) {
    text = text.substr(0, text.find('\0'));
    const IconvConverter toUtf8("UTF-8", "GBK");
    if (!toUtf8.valid()) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const std::string utf8 = toUtf8.Convert(text, "\xef\xbf\xbd", [](std::string_view) { return size_t{1}; });
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Text QStringToGbk(const QString& text) {
    const QByteArray utf8 = text.left(text.indexOf(QChar(u'\0'))).toUtf8();
    const IconvConverter toGbk("GBK", "UTF-8");
    if (!toGbk.valid()) return {};
    return toGbk.Convert(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), "?",
                         Utf8SequenceLength);
}

}  // namespace veltrano::linuxgui
