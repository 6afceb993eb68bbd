#include "saverpack/winget/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace saverpack {
namespace {

std::string Hash(const std::string& message, size_t piece) {
  Sha256 sha;
  for (size_t at = 0; at < message.size(); at += piece) {
    sha.Update(message.data() + at, std::min(piece, message.size() - at));
  }
  return HexDigits(sha.Finish());
}

// The standard's vectors, and lengths on both sides of the padding's block
// boundary, fed whole and in uneven pieces alike.
TEST(Sha256, KnownVectors) {
  struct Case {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"},
      {"abc", "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1"},
      {std::string(1000000, 'a'), "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0"},
      {std::string(55, 'x'), "D5E285683CD4EFC02D021A5C62014694958901005D6F71E89E0989FAC77E4072"},
      {std::string(64, 'x'), "7CE100971F64E7001E8FE5A51973ECDFE1CED42BEFE7EE8D5FD6219506B5393C"},
  };
  for (const Case& c : cases) {
    for (size_t piece : {size_t{1000000}, size_t{1}, size_t{63}, size_t{65}}) {
      EXPECT_EQ(Hash(c.message, piece), c.digest) << c.message.size() << " bytes in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace saverpack
