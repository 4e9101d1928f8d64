#include "app/Actions.h"

namespace veltrano::app {

namespace {

// A failure takes only OK, with the warning icon, so it cannot be mistaken for the confirmation.
constexpr std::uint32_t kConfirmationFlags = kMbOkCancel | kMbTaskModal;
constexpr std::uint32_t kFailureFlags = kMbOk | kMbIconWarning | kMbTaskModal;

}  // namespace

void ClearBoxes(Desktop& desktop) {
    desktop.SetControlText(ControlId::编辑框1, {});
    desktop.SetControlText(ControlId::编辑框2, {});
}

void ParseAndCopy(Desktop& desktop, web::WebPlatform platform) {
    ParsedPage parsed = [&] {
        const Text pageAddress = desktop.GetControlText(ControlId::编辑框1);
        return ParseVideoAddress(platform, pageAddress);
    }();
    desktop.SetControlText(ControlId::编辑框2, parsed.videoAddress);
    parsed.videoAddress.clear();

    switch (parsed.outcome) {
    case ParseOutcome::FetchFailed:
        desktop.ShowMessageBox(kFetchFailedMessage, kFailureFlags);
        return;
    case ParseOutcome::NoAddress:
        desktop.ShowMessageBox(kNoAddressMessage, kFailureFlags);
        return;
    case ParseOutcome::Found:
        break;
    }

    // The clipboard gets what the box holds after the write, not the extraction result.
    const bool copied = [&] {
        const Text boxText = desktop.GetControlText(ControlId::编辑框2);
        return desktop.PutClipboardText(boxText);
    }();
    desktop.ShowMessageBox(copied ? kCopiedMessage : kClipboardFailedMessage,
                           copied ? kConfirmationFlags : kFailureFlags);
}

}  // namespace veltrano::app
