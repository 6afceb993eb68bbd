#include "saverpack/build/catalogue.h"

namespace saverpack {

const CatalogueLanguage* FindCatalogueLanguage(std::string_view code) {
  for (const CatalogueLanguage& language : CatalogueLanguages()) {
    if (language.code == code) return &language;
  }
  return nullptr;
}

std::string CatalogueListing() {
  std::string listing = "Code   Code page  Language\n";
  for (const CatalogueLanguage& language : CatalogueLanguages()) {
    std::string line(language.code);
    line.resize(7, ' ');
    line += std::to_string(language.code_page);
    line.resize(18, ' ');
    listing += line + std::string(language.name) + "\n";
  }
  return listing;
}

bool NamesLanguageFile(std::string_view value, bool is_existing_file) {
  return is_existing_file || value.find_first_of("/\\.") != std::string_view::npos;
}

}  // namespace saverpack
