// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the work to an OpenRaster (.ora) work file, which Krita, GIMP and MyPaint open
// as a picture of two layers: "Original" at the bottom, the picture as opened (8-bit
// grey when every pixel of it is grey), and "Colour" on top, the work raster. Beside
// them, as the format lays out: "mimetype" first and stored, stack.xml, the merged
// picture (the work raster) and a thumbnail of at most 256 pixels a side; and the
// window's state (WorkState) in tintwell/state.json, and the stroke record when there is
// one (document/StrokeRecordBytes.h).
#pragma once

#include "colour/StrokeRecord.h"
#include "document/RasterImage.h"
#include "document/WorkState.h"

#include <QByteArray>
#include <QString>

namespace document {

// How the layers are encoded: all on the calling thread, or the original and the
// thumbnail on a second thread while the calling one encodes the colour layer (a save
// the user waits for; the recovery writer, in the background already, leaves the other
// core to the interface). Both give the same archive.
enum class EncodeThreads { One, Two };

// The archive's bytes; empty, with the reason in error, when the rasters are not two
// 24-bit rasters of one size or the archive cannot be made.
// A record of another size than the rasters is left out.
QByteArray EncodeWorkFile(const RasterImage &source, const RasterImage &work,
                          const WorkState &state, const colour::StrokeRecord &strokes,
                          QString &error, EncodeThreads threads = EncodeThreads::One);

// Encodes the work file on two threads and puts it in place of fileName through ReplaceFile, so
// that a failure leaves an existing file as it was. Empty on success; otherwise the reason for the
// user, naming the file.
QString SaveWorkFile(const QString &fileName, const RasterImage &source, const RasterImage &work,
                     const WorkState &state, const colour::StrokeRecord &strokes);

} // namespace document
