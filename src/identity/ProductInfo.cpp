#include "identity/ProductInfo.h"

#include <cstdio>

#include "identity/BuildInfo.h"

namespace vorlix {

ProductInfo ProductInfo::OfThisBuild() {
    char productVersion[32];
    std::snprintf(productVersion, sizeof productVersion, "%d.%02d.%04d", buildinfo::kMajor,
                  buildinfo::kMinor, buildinfo::kRevision);
    ProductInfo info;
    info.productName = "Vorlix";
    info.companyName = "Vorlix Software 2023";
    info.fileDescription = "Vorlix";
    info.internalName = "Vorlix";
    info.originalFileName = "vorlix";
    info.productVersion = productVersion;
    info.comments = "Program pro výpočet MD5 hashe a uložení do souboru";
    return info;
}

}  // namespace vorlix
