#pragma once

// The pictures the window and its dialogs show, drawn for the screen's
// scale: the view buttons' images (bitmap 116) and the start-up screen's
// bitmaps of the three lists.

#include <QIcon>

namespace platform {

// Image `image` of bitmap 116: 0 documents, 1 workbooks, 2 e-mail.
QIcon ViewButtonImage(int image);

// The bitmap resource `id` of the program ("#122" in a template); a null
// icon for one it does not have.
QIcon BitmapResource(int id);

} // namespace platform
