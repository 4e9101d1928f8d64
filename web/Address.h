// Page address decomposition and header values. No validation: every input
// yields a well-defined result.
#pragma once

#include <cstdint>

#include "text/Text.h"

namespace veltrano::web {

// The host, lower-cased; with its port when keepPort; only the last two
// dot-separated labels when baseDomainOnly.
[[nodiscard]] Text AddressHost(TextView address, bool baseDomainOnly = false, bool keepPort = false);
// The number after the host's last ":", else 443 for an address beginning "https", else 80.
[[nodiscard]] std::int32_t AddressPort(TextView address);
// The rest of the address from the first "/" at or after its host, or "/".
[[nodiscard]] Text AddressPath(TextView address);
// The trimmed text after the first ":" of line; empty without one.
[[nodiscard]] Text HeaderValue(TextView line);

}  // namespace veltrano::web
