// A winget manifest for a setup package: the three files of a multi-file
// manifest (version, defaultLocale en-US, installer) of manifest version
// 1.10.0, written as YAML with every text double-quoted.
//
// The package gives what it knows of itself: the version and publisher
// from its check block (a package without them cannot be described) and
// the install scope, the name (also the uninstall entry's key name, the
// ProductCode) from its title, the architecture from its stub's PE header,
// and the SHA-256 of its bytes. The caller gives the identifier, the download
// address, the licence's name and the description.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "saverpack/host/failure.h"
#include "saverpack/text/package_code_page.h"

namespace saverpack {

// The options of `saverpack winget`.
struct WingetOptions {
  std::string package;
  std::string identifier;  // Publisher.Name
  std::string url;         // where the package is downloaded from
  std::string license = "Proprietary";
  std::string description;  // empty: "The TITLE screensaver."
  std::string folder = ".";  // where the three manifest files go
  // The code page the package's texts are read in; nullopt: ASCII only.
  std::optional<int> code_page = kDefaultCodePage;
};

// What the manifest states, in UTF-8.
struct WingetFacts {
  std::string identifier;
  std::string version;
  std::string publisher;
  std::string name;  // the package's title, as its uninstall entry shows it
  std::string license;
  std::string description;
  std::string url;
  std::string sha256;        // 64 uppercase hexadecimal digits
  std::string architecture;  // "x86" or "x64"
  // Who the package installs for: "machine" or "user" (its check block's
  // InstallScope).
  std::string scope = "machine";
};

struct ManifestFile {
  std::string name;  // e.g. "Example.Aurora.installer.yaml"
  std::string text;
};

// The three files, in the order version, defaultLocale, installer.
std::vector<ManifestFile> WingetManifestFiles(const WingetFacts& facts);

// Why `facts` would not make a valid manifest (an identifier, address,
// version or text winget refuses); nullopt when they would. The failure's
// exit status is kExitUsage when the fault lies in an option, kExitBadInput
// when it lies in the package.
std::optional<Failure> CheckWingetFacts(const WingetFacts& facts);

// Reads the package named in `options` and writes its manifest's three
// files into options.folder, replacing files of the same names.
std::optional<Failure> WriteWingetManifest(const WingetOptions& options);

}  // namespace saverpack
