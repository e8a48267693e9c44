#include "core/printers/modelgate.h"

namespace modelgate {

supportedprinters::Offer offerOf(const ModelKey &key)
{
    for (const supportedprinters::Brand &brand : supportedprinters::kBrands) {
        for (const supportedprinters::Model &model : brand.models) {
            if (key == ModelKey::of(QLatin1String(brand.brand), QLatin1String(model.product)))
                return model.offer;
        }
    }
    return supportedprinters::kBasic;
}

} // namespace modelgate
