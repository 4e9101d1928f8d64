#include "web/Address.h"

#include "text/TextBetween.h"

namespace veltrano::web {

Text AddressHost(TextView address, bool baseDomainOnly, bool keepPort) {
    Text s = TextToLower(address);
    // The "/" goes after any query too, so a host that ends the address is still closed.
    if (TextCompare(TextRight(s, 1), "/") != 0) s = TextConcat(s, "/");
    if (TextCompare(TextLeft(s, 8), "https://") == 0) {
        s = TextBetween(s, "https://", "/");
    } else {
        if (TextFind(s, "http://") == -1) s = TextConcat("http://", s);
        s = TextBetween(s, "http://", "/");
    }
    if (baseDomainOnly) {
        const TextList labels = TextSplit(s, ".");
        const int n = ListSize(labels);
        if (n > 1) s = TextConcat(ListItem(labels, n - 1), ".", ListItem(labels, n));
    }
    if (keepPort) return s;
    const int colon = TextFind(s, ":");
    return colon == -1 ? s : TextLeft(s, colon - 1);
}

std::int32_t AddressPort(TextView address) {
    const Text hostWithPort = AddressHost(address, false, true);
    const int colon = TextFindLast(hostWithPort, ":");
    if (colon != -1) return TextToInteger(TextRight(hostWithPort, TextLength(hostWithPort) - colon));
    return TextCompare(TextLeft(TextToLower(address), 5), "https") == 0 ? 443 : 80;
}

Text AddressPath(TextView address) {
    const Text host = AddressHost(address);
    const int hostAt = TextFind(address, host, 1, true);
    const int slash = TextFind(address, "/", hostAt, true);
    if (slash <= 0) return "/";
    return TextRight(address, TextLength(address) - slash + 1);
}

Text HeaderValue(TextView line) {
    const int colon = TextFind(line, ":");
    if (colon == -1) return TextTrim("");
    return TextTrim(TextRight(line, TextLength(line) - colon));
}

}  // namespace veltrano::web
