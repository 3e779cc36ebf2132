// A locale answering from the English common module of the build tree, as a
// UI object's locale does once loaded, without a printer or model behind it.
#pragma once

#include "locale/prtlocale.h"
#include "module_path.h"

class EnglishLocale : public prtlocale {
public:
    EnglishLocale() {
        modules_[kCommon] = LoadLibraryExW(built_module_path(L"resources\\mrl32eng.dll").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
    }
    bool loaded() const { return modules_[kCommon] != nullptr; }
};
