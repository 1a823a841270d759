#include "assets/Assets.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the resource function in the current scope, so it
// must stay outside any namespace.
void InitAssets() {
    Q_INIT_RESOURCE(assets);
}
