#include "app/program_icon.h"

#include <QGuiApplication>

// Outside any namespace, as Qt's resource initialisation requires.
static void initIconResource() {
    Q_INIT_RESOURCE(program_icon);
}

namespace kvel {

QIcon programIcon() {
    initIconResource();
    QIcon icon;
    // Rendered from the desktop entry's SVG: no SVG support is needed at run time.
    icon.addFile(":/kvelview/kvelview-32.png", QSize(32, 32));
    icon.addFile(":/kvelview/kvelview-256.png", QSize(256, 256));
    return icon;
}

void setProgramIcon() {
    QGuiApplication::setWindowIcon(programIcon());
}

}  // namespace kvel
