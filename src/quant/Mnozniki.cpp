#include "quant/Mnozniki.h"

Mnozniki Mnozniki::defaults() {
    return Mnozniki{
        {1.6f, 0.8f, 0.8f, 1.6f},
        {1.75f, 1.75f, 0.9f, 0.9f, 0.9f, 0.9f, 1.75f, 1.75f},
        {2.4f, 2.0f, 1.6f, 1.2f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 1.2f, 1.6f, 2.0f,
         2.4f},
    };
}

const float* Mnozniki::row(int levels) const {
    switch (levels) {
    case 4:
        return Mnozniki4.data();
    case 8:
        return Mnozniki8.data();
    case 16:
        return Mnozniki16.data();
    default:
        return nullptr;
    }
}
