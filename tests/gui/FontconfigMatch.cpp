#include "FontconfigMatch.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace veltrano::linuxgui::testing {

namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using UniquePattern = std::unique_ptr<FcPattern, PatternDeleter>;

}  // namespace

QString ResolveFontFamily(const QString& face) {
    const UniquePattern wanted(FcPatternCreate());
    if (!wanted) return face;
    const QByteArray faceUtf8 = face.toUtf8();
    FcPatternAddString(wanted.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(faceUtf8.constData()));
    FcConfigSubstitute(nullptr, wanted.get(), FcMatchPattern);
    FcDefaultSubstitute(wanted.get());
    FcResult result = FcResultNoMatch;
    const UniquePattern match(FcFontMatch(nullptr, wanted.get(), &result));
    FcChar8* family = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch) return face;
    return QString::fromUtf8(reinterpret_cast<const char*>(family));
}

}  // namespace veltrano::linuxgui::testing
