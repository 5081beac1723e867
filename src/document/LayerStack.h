// SPDX-License-Identifier: GPL-3.0-or-later
// An OpenRaster file's stack.xml: the picture's size and its layers, top first.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace document {

struct StackLayer {
    QString Name;
    QString Source; // the layer's PNG inside the archive
    int32_t X = 0, Y = 0;
    double Opacity = 1.0; // 0..1
    bool Visible = true;
};

struct LayerStack {
    int32_t Width = 0, Height = 0;
    std::vector<StackLayer> Layers; // top first, as stack.xml lists them
};

QByteArray LayerStackToXml(const LayerStack &stack);

// The stack of stack.xml: the root image's w and h and the layers of its first stack
// (layers of nested stacks are left out). Nothing, with the reason in error, when the
// text is not well-formed XML, has no image element with whole-number w and h, or a
// layer without src or with an offset that is not a whole number. At most maxLayers
// layers are read; more is an error.
std::optional<LayerStack> LayerStackFromXml(const QByteArray &xml, QString &error,
                                            size_t maxLayers = 1000);

} // namespace document
