#pragma once
// Time zones that come with a calendar: libical works out every change of a
// zone from its first year on, so a zone may only ask for as many changes as
// real zones have.

#include <libical/ical.h>

#include <string>

namespace kv::cli {

// Why the changes of this zone are too many to work out, or empty; a zone of
// libical's own (no VTIMEZONE from the file) is always fine.
std::string zoneProblem(icaltimezone* zone);

}  // namespace kv::cli
