#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "digest/FileDigest.h"

namespace vorlix {

// Digests a file off the window's thread. The window takes no input while it
// runs; after half a second a modal progress dialog titled with the file's
// name shows the percentage and speed, and its Cancel button stops the digest.
FileDigestResult RunDigestWithProgress(QWidget* window, const std::string& path,
                                       DigestSet algorithms, const QString& cancelCaption,
                                       char decimalSeparator);

// The decimal separator of the desktop's locale as Qt knows it: right even
// where the C library has no data for the locale and would answer ".".
char DesktopDecimalSeparator();

}  // namespace vorlix
