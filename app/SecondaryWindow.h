// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>

// The window the slot holds while it is open, or a new one. Secondary windows have no parent,
// so they outlive the main window, and delete themselves when closed; a closed window is only
// waiting for its deferred deletion and is not reused.
template <typename W> W* openOrCreate(QPointer<W>& slot) {
    if (!slot || !slot->isVisible())
        slot = new W;
    return slot.data();
}
