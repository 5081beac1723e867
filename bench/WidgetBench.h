// SPDX-License-Identifier: GPL-3.0-or-later
// The start of a benchmark that shows widgets: the offscreen platform unless
// QT_QPA_PLATFORM names another (xcb on an X server, for what the screen costs), then the
// application and Google Benchmark's own arguments.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <memory>

// argc must outlive the application (main's own does).
inline std::unique_ptr<QApplication> StartWidgetBench(int &argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = std::make_unique<QApplication>(argc, argv);
    benchmark::Initialize(&argc, argv);
    return app;
}
