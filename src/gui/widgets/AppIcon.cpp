#include "gui/widgets/AppIcon.h"

#include <QApplication>

using namespace Qt::StringLiterals;

namespace peridon {

QIcon applicationIcon() {
    // Pixel-drawn sizes rather than one scaled picture: the small sizes keep
    // the three digit boxes sharp in title bars and task bars.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(u":/icons/peridon-%1.png"_s.arg(size), QSize(size, size));
    return icon;
}

void installApplicationIcon() {
    QApplication::setWindowIcon(applicationIcon());
}

} // namespace peridon
