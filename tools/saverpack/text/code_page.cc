#include "saverpack/text/code_page.h"

namespace saverpack {

bool IsSupportedCodePage(int number) {
  return number == 874 || number == 932 || number == 936 || number == 949 || number == 950 ||
         (number >= 1250 && number <= 1258);
}

}  // namespace saverpack
