// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

// A write to a pipe that nobody reads (a closed standard error, say) fails with an error
// instead of ending the program. Programs this one starts get the default back.
void ignoreBrokenPipes();

} // namespace platform
