#pragma once

#include "bank/MakeBankError.h"

#include <QString>
#include <QStringList>

namespace tolvane::bank {

// Converts `sources` (text or HTML files) into Word 97 documents of the same
// base names in `outDir`, in one run of a headless LibreOffice with a private
// profile under `profileDir`, so that an office the lecturer has open is
// neither used nor disturbed. Every expected document is checked afterwards.
// Throws MakeBankError when the office cannot be started, fails, takes longer
// than `timeoutMs` or leaves a document out.
void convertToWord(const QString& officeProgram, const QStringList& sources, const QString& outDir,
                   const QString& profileDir, int timeoutMs);

// Whether `path` is a compound (OLE2) file, the container of a Word 97 .doc.
bool isOleCompoundFile(const QString& path);

} // namespace tolvane::bank
