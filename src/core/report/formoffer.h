#pragma once

#include "core/data/datafolder.h"

#include <optional>
#include <string>

namespace tarvo {

class Profile;

// The folder "Formulare" of the data folder, where the user keeps the forms
// of the statement that EKO-KOM sent; with a trailing '/'.
std::string FormsFolder(const DataFolder& data);

// The form the report dialog offers for a quarter before the user chooses
// one: of the .xlsx files in FormsFolder, the newest CheckFormFile accepts
// for the quarter; when none fits, the newest of them (the check on OK then
// says what is wrong with it). Nothing when the folder holds no form.
// Office's lock files ("~$vykaz.xlsx") are not forms.
std::optional<std::string> OfferedFormFile(const DataFolder& data, int year, int quarter);

// The folder the form was last chosen from (section "Vykaz", key
// "SlozkaFormulare"); empty until one was chosen.
std::string LoadFormFolder(const Profile& profile);
bool StoreFormFolder(Profile& profile, const std::string& folder);

} // namespace tarvo
