#pragma once

#include <QString>
#include <QStringList>

// What users type into boxes that they should not: each must come back as typed.
inline QStringList junkTexts() {
    return {QStringLiteral("' or '1'='1"),
            QStringLiteral("'); drop table tblDept; --"),
            QString(5000, u'x'),
            QStringLiteral("\U0001F600\U0001F389 queue"),
            QStringLiteral("रक्त परीक्षण"),
            QStringLiteral("فحص الدم"),
            QStringLiteral("  padded both sides  "),
            QStringLiteral("nan"),
            QStringLiteral("1e10"),
            QStringLiteral("-1")};
}
