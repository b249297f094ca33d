// SPDX-License-Identifier: MIT
// A page has no terminal to hang up and no X server to lose: closing the tab ends it.
#include "app/EndRequests.h"

void EndRequests::install() {}

bool EndRequests::hangUpReceived()
{
    return false;
}
