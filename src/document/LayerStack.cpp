// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/LayerStack.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace document {

namespace {

std::optional<int32_t> WholeNumber(const QXmlStreamAttributes &attributes, const char *name,
                                   std::optional<int32_t> missing)
{
    if (!attributes.hasAttribute(QLatin1String(name)))
        return missing;
    bool ok = false;
    const int32_t value = attributes.value(QLatin1String(name)).toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

} // namespace

QByteArray LayerStackToXml(const LayerStack &stack)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("image"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("0.0.5"));
    w.writeAttribute(QStringLiteral("w"), QString::number(stack.Width));
    w.writeAttribute(QStringLiteral("h"), QString::number(stack.Height));
    w.writeStartElement(QStringLiteral("stack"));
    for (const StackLayer &layer : stack.Layers) {
        w.writeEmptyElement(QStringLiteral("layer"));
        w.writeAttribute(QStringLiteral("name"), layer.Name);
        w.writeAttribute(QStringLiteral("src"), layer.Source);
        w.writeAttribute(QStringLiteral("x"), QString::number(layer.X));
        w.writeAttribute(QStringLiteral("y"), QString::number(layer.Y));
        w.writeAttribute(QStringLiteral("opacity"), QString::number(layer.Opacity, 'f', 3));
        w.writeAttribute(QStringLiteral("visibility"),
                         layer.Visible ? QStringLiteral("visible") : QStringLiteral("hidden"));
        w.writeAttribute(QStringLiteral("composite-op"), QStringLiteral("svg:src-over"));
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return xml;
}

std::optional<LayerStack> LayerStackFromXml(const QByteArray &xml, QString &error, size_t maxLayers)
{
    QXmlStreamReader reader(xml);
    LayerStack stack;
    int depth = 0;
    bool sawImage = false;
    bool inFirstStack = false, firstStackDone = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView name = reader.name();
            const QXmlStreamAttributes attributes = reader.attributes();
            if (depth == 1) {
                if (name != QLatin1String("image")) {
                    error = QStringLiteral("stack.xml has no image element");
                    return std::nullopt;
                }
                const auto w = WholeNumber(attributes, "w", std::nullopt);
                const auto h = WholeNumber(attributes, "h", std::nullopt);
                if (!w || !h) {
                    error = QStringLiteral("stack.xml gives no size of the picture");
                    return std::nullopt;
                }
                stack.Width = *w;
                stack.Height = *h;
                sawImage = true;
            } else if (depth == 2 && name == QLatin1String("stack") && !firstStackDone) {
                inFirstStack = true;
            } else if (depth == 3 && inFirstStack && name == QLatin1String("layer")) {
                if (stack.Layers.size() >= maxLayers) {
                    error = QStringLiteral("stack.xml lists more than %1 layers").arg(maxLayers);
                    return std::nullopt;
                }
                StackLayer layer;
                layer.Name = attributes.value(QLatin1String("name")).toString();
                layer.Source = attributes.value(QLatin1String("src")).toString();
                const auto x = WholeNumber(attributes, "x", 0);
                const auto y = WholeNumber(attributes, "y", 0);
                if (layer.Source.isEmpty() || !x || !y) {
                    error = QStringLiteral("a layer of stack.xml has no picture or no place");
                    return std::nullopt;
                }
                layer.X = *x;
                layer.Y = *y;
                if (attributes.hasAttribute(QLatin1String("opacity"))) {
                    bool ok = false;
                    const double opacity = attributes.value(QLatin1String("opacity")).toDouble(&ok);
                    layer.Opacity = ok ? std::clamp(opacity, 0.0, 1.0) : 1.0;
                }
                layer.Visible =
                    attributes.value(QLatin1String("visibility")) != QLatin1String("hidden");
                stack.Layers.push_back(layer);
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == 2 && inFirstStack) {
                inFirstStack = false;
                firstStackDone = true;
            }
            --depth;
        }
    }
    if (reader.hasError()) {
        error = QStringLiteral("stack.xml is not readable XML (%1)").arg(reader.errorString());
        return std::nullopt;
    }
    if (!sawImage) {
        error = QStringLiteral("stack.xml has no image element");
        return std::nullopt;
    }
    return stack;
}

} // namespace document
