#pragma once

namespace tarvo {

class CDataStore;
class Profile;

// Whether the working database holds none of the records a user starts with
// (covers, composite covers, products, dispatches): the program then opens
// with the guide to the first steps.
bool HoldsNoRecords(CDataStore& store);

// Whether the guide is shown at all: kept in the settings file (section
// "Zaciname", key "Zobrazovat"), on until the user switches it off.
bool LoadGuideChoice(const Profile& profile);
bool StoreGuideChoice(Profile& profile, bool show);

} // namespace tarvo
