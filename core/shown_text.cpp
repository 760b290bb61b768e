#include "core/shown_text.h"

#include <QCoreApplication>

namespace kvel {

namespace {

template <typename Args>
std::string translatedWith(const char* source, const Args& args) {
    QString text = QCoreApplication::translate("KvelView", source);
    for (const std::string& arg : args) text = text.arg(QString::fromStdString(arg));
    return text.toStdString();
}

}  // namespace

std::string shownText(const char* source, std::initializer_list<std::string> args) {
    return translatedWith(source, args);
}

std::string shownText(const FieldRefusal& refusal) {
    return translatedWith(refusal.source, refusal.args);
}

QString linkFailureMessage(const LinkFailure& failure) {
    const QString text = QCoreApplication::translate("KvelView", linkErrorSource(failure.error));
    if (!text.contains(QLatin1String("%1"))) return text;
    return text.arg(QString::fromStdString(linkErrorArgument(failure)));
}

std::string linkFailureMessageText(const LinkFailure& failure) {
    return linkFailureMessage(failure).toStdString();
}

}  // namespace kvel
