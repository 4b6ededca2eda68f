#include "data/lists.h"

MixtureList& TheMixtureList() {
    static MixtureList list;
    return list;
}

AssayList& TheAssayList() {
    static AssayList list(TheMixtureList());
    return list;
}
