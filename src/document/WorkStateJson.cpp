// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/WorkStateJson.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace document {

namespace {

constexpr int kVersion = 1;
const char *const kFormat = "tintwell-state";

void Read(const QJsonObject &object, const char *key, int32_t low, int32_t high, int32_t &value)
{
    const QJsonValue v = object.value(QLatin1String(key));
    if (!v.isDouble())
        return;
    const double d = v.toDouble();
    if (d >= low && d <= high && d == double(int32_t(d)))
        value = int32_t(d);
}

} // namespace

QByteArray WorkStateToJson(const WorkState &state)
{
    QJsonObject object;
    object.insert(QStringLiteral("format"), QLatin1String(kFormat));
    object.insert(QStringLiteral("version"), kVersion);
    object.insert(QStringLiteral("hue"), state.Hue);
    object.insert(QStringLiteral("saturation"), state.Saturation);
    object.insert(QStringLiteral("brightness"), state.Brightness);
    object.insert(QStringLiteral("tool"),
                  state.Erase ? QStringLiteral("erase") : QStringLiteral("colorize"));
    object.insert(QStringLiteral("zoom"), state.Zoom);
    return QJsonDocument(object).toJson();
}

std::optional<WorkState> WorkStateFromJson(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    if (object.value(QStringLiteral("format")).toString() != QLatin1String(kFormat))
        return std::nullopt;
    const QJsonValue version = object.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() < 1 || version.toDouble() > kVersion)
        return std::nullopt;
    WorkState state;
    Read(object, "hue", 0, 255, state.Hue);
    Read(object, "saturation", 0, 255, state.Saturation);
    Read(object, "brightness", -100, 100, state.Brightness);
    Read(object, "zoom", 10, 1000, state.Zoom);
    state.Erase = object.value(QStringLiteral("tool")).toString() == QLatin1String("erase");
    return state;
}

} // namespace document
