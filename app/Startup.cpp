#include "app/Startup.h"

#include "app/Enter.h"
#include "app/FirstStart_Form.h"
#include "core/AppPaths.h"
#include "core/Messages.h"
#include "core/RateProcess_Form.h"
#include "db/DataModule.h"
#include "options/BackupJob.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <memory>

namespace tolvane {

bool parseLocaleDecimal(const QString& text, QChar separator, double* value) {
    int i = 0;
    const int n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    const int intStart = i;
    while (i < n && text[i] >= '0' && text[i] <= '9')
        ++i;
    int digits = i - intStart;
    if (i < n && text[i] == separator) {
        ++i;
        const int fracStart = i;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            ++i;
        digits += i - fracStart;
    }
    if (digits == 0 || i != n)
        return false;
    QString plain = text;
    plain.replace(separator, QLatin1Char('.'));
    bool ok = false;
    const double v = plain.toDouble(&ok);
    if (ok && value)
        *value = v;
    return ok;
}

bool checkWordProcessor(docs::WordVersionProbe& probe, QChar separator) {
    bool created = false;
    try {
        created = probe.create();
    } catch (const std::exception&) {
        created = false;
    }
    if (!created) {
        showMessage(QStringLiteral("This programme requires Microsoft Office Word!"),
                    QStringLiteral("Word not installed"), MsgIcon::Error);
        return false;
    }
    QString version;
    try {
        version = probe.version();
    } catch (const std::exception& e) {
        probe.release();
        errorMessage(QString::fromUtf8(e.what()));
        return false;
    }
    // The word processor is not left running, whatever its version.
    try {
        probe.quit();
    } catch (const std::exception&) {
    }
    probe.release();

    double number = 0;
    if (!parseLocaleDecimal(version, separator, &number)) {
        errorMessage(QStringLiteral("'%1' is not a valid floating point value").arg(version));
        return false;
    }
    if (number < 10.0) {
        showMessage(QStringLiteral("Word version too old, Work XP or above required!"),
                    QStringLiteral("Word version too old"), MsgIcon::Error);
        return false;
    }
    return true;
}

bool recoverInterruptedRestore() {
    const backup::Recovery recovery = backup::recoverRestoreAtStart(AppPaths::dataDir());
    if (!recovery.found)
        return true;
    if (!recovery.ok) {
        errorMessage(recovery.message);
        return false;
    }
    plainMessage(recovery.message);
    return true;
}

bool ensureBank() {
    if (AppPaths::isPortable() || QFileInfo::exists(AppPaths::bankFile()))
        return true;
    TFirstStart_F first(AppPaths::dataDir());
    return first.exec() == QDialog::Accepted;
}

int runApplication() {
    // An interrupted restore is set right first: it may have left no bank
    // in place for a moment, which must not be taken for a first start.
    if (!recoverInterruptedRestore())
        return 1;
    // A portable copy with no bank goes on to the missing-bank message; an
    // installed one offers to make its first bank.
    if (!ensureBank())
        return 0;
    QDir::setCurrent(AppPaths::dataDir());

    auto dataModule = std::make_unique<db::TZenlo_DM>();
    db::Zenlo_DM = dataModule.get();
    auto enter = std::make_unique<TEnter_Form>();
    Enter_Form = enter.get();
    auto progress = std::make_unique<TRateProcess_F>();
    RateProcess_F = progress.get();

    enter->show();
    const int code = QApplication::exec();

    RateProcess_F = nullptr;
    progress.reset();
    Enter_Form = nullptr;
    enter.reset();
    db::Zenlo_DM = nullptr;
    dataModule.reset();
    return code;
}

} // namespace tolvane
