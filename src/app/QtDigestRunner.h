#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "digest/FileDigest.h"

namespace vorlix {

// Digests a file off the window's thread. The window takes no input while it
// runs; after half a second a modal progress dialog shows the percentage and
// speed, and its Cancel button stops the digest.
FileDigestResult RunDigestWithProgress(QWidget* window, const std::string& path,
                                       const QString& cancelCaption, char decimalSeparator);

}  // namespace vorlix
