#include "core/shown_text.h"

#include <QCoreApplication>

namespace kvel {

namespace {

// One pass over the translated text: a file name or a typed value put in for %1 is never
// taken for a later %2.
template <typename Args>
std::string translatedWith(const char* source, const Args& args) {
    return fillArgs(QCoreApplication::translate("KvelView", source).toStdString(),
                    std::vector<std::string>(args.begin(), args.end()));
}

}  // namespace

std::string translatedText(const char* marked) {
    return QCoreApplication::translate("KvelView", marked).toStdString();
}

std::string shownText(const char* source, std::initializer_list<std::string> args) {
    return translatedWith(source, args);
}

std::string shownText(const FieldRefusal& refusal) {
    return translatedWith(refusal.source, refusal.args);
}

std::string shownText(const MemIniError& error) {
    if (!error.failed()) return {};
    return translatedWith(error.marked, std::vector{error.file, error.reason});
}

QString linkFailureMessage(const LinkFailure& failure) {
    return QString::fromStdString(
        translatedWith(linkErrorSource(failure.error), std::vector{linkErrorArgument(failure)}));
}

std::string linkFailureMessageText(const LinkFailure& failure) {
    return linkFailureMessage(failure).toStdString();
}

}  // namespace kvel
