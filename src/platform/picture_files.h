#pragma once
// The pictures a board chooses and shows: which names are pictures, the patterns of the
// file lists that choose them, and reading one. Windows metafiles are drawn by the
// renderer the program sets (the desktop's metafile module); without one they read as
// nothing.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

namespace vexil {

// ".BMP", ".PNG", ... in upper case.
const QStringList& pictureExtensions();
// True when the file name part of `name` ends in one of them ("gat.jpg",
// "imatges.v2/GAT.PNG"); a text such as "Bon dia." or "HOLA" is no picture name.
bool isPictureName(const QString& name);
// "*.bmp", "*.BMP", ... for a file list or a file dialog.
QStringList picturePatterns();
// The same as a file dialog filter ("Imatges (*.bmp *.BMP ...)|*.bmp;*.BMP;...").
QString pictureDialogFilter();

using MetafileRenderer = QImage (*)(const QByteArray& wmf);
void setMetafileRenderer(MetafileRenderer renderer);
// The picture at `realPath`, whatever its extension says (a null image when it cannot be
// read); a metafile through the renderer.
QImage readPicture(const QString& realPath);

}  // namespace vexil
