// --check: acts on the windows as an operator would, through Win32 only, and checks what
// they show and what the host received.
#pragma once

#include <string>

#include "Installation.h"

// The number of failed checks. `originalText` is the configuration as loaded, formatted in
// `codePage`; `savedFile` is where Save writes.
int RunOperatorCheck(Installation& installation, hostkit::Host& host, unsigned codePage,
                     const std::string& originalText, const std::string& savedFile, double seconds);
