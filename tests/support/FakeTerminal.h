// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ConsoleProcess.h"

// A terminal whose output the test writes.
class FakeTerminal : public platform::ConsoleProcess {
public:
    qint64 processId() const override { return 0; }
    bool isRunning() const override { return true; }
    void write(const QByteArray& keys) override { typed += keys; }
    void resize(Size told) override { size = told; }
    void hangUp() override {}
    platform::ProcessEnd finish() override { return {}; }
    QByteArray typed;
    Size size;
};
