#pragma once

#include <string>

namespace sorvane::core {

/// Turns every LF that no CR precedes into CR LF; CR LF and a lone CR stay as they are.
///
/// Linux and macOS clipboards end rows with LF alone, which the record reader drops; this puts
/// the platform's text into the CR-ended rows that the reader splits. Text that needs no change
/// is returned without a copy.
std::string normalizeLineEnds(std::string text);

}  // namespace sorvane::core
