// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/import_run.h"
#include "standin/tool_main.h"

int main(int argc, char** argv) {
    return standin::toolMain({argv + 1, argv + argc}, standin::Tool::Import, standin::runImport);
}
