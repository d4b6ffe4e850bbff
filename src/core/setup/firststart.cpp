#include "core/setup/firststart.h"

#include "core/data/cdatastore.h"
#include "core/data/profile.h"
#include "core/data/statement.h"

namespace tarvo {

bool HoldsNoRecords(CDataStore& store) {
    Statement s(store, "SELECT EXISTS (SELECT 1 FROM Cover) OR EXISTS (SELECT 1 FROM CompCover) "
                       "OR EXISTS (SELECT 1 FROM Product) OR EXISTS (SELECT 1 FROM Move)");
    s.Step();
    return s.Int(0) == 0;
}

bool LoadGuideChoice(const Profile& profile) {
    return profile.GetInt("Zaciname", "Zobrazovat", 1) != 0;
}

bool StoreGuideChoice(Profile& profile, bool show) {
    return profile.WriteInt("Zaciname", "Zobrazovat", show ? 1 : 0);
}

} // namespace tarvo
