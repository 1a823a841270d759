// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/Assets.h"

#include <QImage>
#include <QResource>

#include "platform/Bitmap.h"

// Q_INIT_RESOURCE declares the resource function in the current scope, so it
// must stay outside any namespace.
void InitAssets() {
    Q_INIT_RESOURCE(assets);
}

namespace assets {

QImage ResourcePicture(const char* name) {
    const QResource resource(QString::fromLatin1(name));
    return platform::ReadBitmap(QByteArray::fromRawData(
        reinterpret_cast<const char*>(resource.data()), qsizetype(resource.size())));
}

}  // namespace assets
