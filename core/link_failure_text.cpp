#include "core/link_failure_text.h"

#include <QCoreApplication>

namespace kvel {

QString linkFailureMessage(const LinkFailure& failure) {
    const QString text = QCoreApplication::translate("KvelView", linkErrorSource(failure.error));
    if (!text.contains(QLatin1String("%1"))) return text;
    return text.arg(QString::fromStdString(linkErrorArgument(failure)));
}

std::string linkFailureMessageText(const LinkFailure& failure) {
    return linkFailureMessage(failure).toStdString();
}

}  // namespace kvel
