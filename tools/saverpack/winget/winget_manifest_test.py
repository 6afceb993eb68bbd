#!/usr/bin/env python3
"""saverpack winget, run as its users run it: the three manifest files parse
as YAML, pass winget's own JSON schemas for 1.10.0, hold every field
winget requires with values that schema allows, agree with the package
(version, publisher, title, architecture, scope, the uninstall entry's key
name as ProductCode), and give the SHA-256 that sha256sum computes of the
package. Refusals end with their exit status and message and write nothing.

Usage: winget_manifest_test.py SAVERPACK SCHEMA_FOLDER
"""
import os
import re
import struct
import subprocess
import sys
import json
import tempfile

import jsonschema
import yaml

SAVERPACK = sys.argv[1]
SCHEMAS = sys.argv[2]

# The schema's own patterns and enumerations (manifest version 1.10.0).
IDENTIFIER = re.compile(r'^[^.\s\\/:*?"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?"<>|\x01-\x1f]{1,32}){1,7}$')
VERSION = re.compile(r'^[^\\/:*?"<>|\x01-\x1f]+$')
URL = re.compile(r'^([Hh][Tt][Tt][Pp][Ss]?)://.+$')
SHA256 = re.compile(r'^[A-Fa-f0-9]{64}$')
ARCHITECTURES = {"x86", "x64", "arm", "arm64", "neutral"}
INSTALLER_TYPES = {"msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix", "burn", "pwa",
                   "portable", "advinstExe", "advinstMsi"}
RETURN_RESPONSES = {"packageInUse", "packageInUseByApplication", "installInProgress", "fileInUse",
                    "missingDependency", "diskFull", "insufficientMemory", "invalidParameter",
                    "noNetwork", "contactSupport", "rebootRequiredToFinish",
                    "rebootRequiredForInstall", "rebootInitiated", "cancelledByUser",
                    "alreadyInstalled", "downgrade", "blockedByPolicy", "systemNotSupported",
                    "custom"}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*arguments):
    return subprocess.run([SAVERPACK, *arguments], capture_output=True, text=True)


def stub(machine):
    """An executable's first bytes: MZ, the PE header at 0x40, machine."""
    header = bytearray(1024)
    header[0:2] = b"MZ"
    header[0x3C:0x40] = struct.pack("<I", 0x40)
    header[0x40:0x44] = b"PE\0\0"
    header[0x44:0x46] = struct.pack("<H", machine)
    # The manifest's execution level, which a user-scope package rewrites.
    return bytes(header) + b'<requestedExecutionLevel level="highestAvailable" uiAccess="false"/>'


def text_field(document, name, least, most):
    value = document.get(name)
    check(isinstance(value, str) and least <= len(value) <= most,
          f"{name} is a text of {least} to {most} characters: {value!r}")
    return value


def check_manifest(folder, identifier, expected):
    names = {kind: os.path.join(folder, identifier + suffix) for kind, suffix in
             [("version", ".yaml"), ("defaultLocale", ".locale.en-US.yaml"),
              ("installer", ".installer.yaml")]}
    documents = {}
    for kind, name in names.items():
        with open(name, encoding="utf-8") as stream:
            documents[kind] = yaml.safe_load(stream)
        with open(os.path.join(SCHEMAS, f"manifest.{kind}.1.10.0.json"), encoding="utf-8") as stream:
            schema = json.load(stream)
        errors = [error.message for error in jsonschema.Draft7Validator(schema).iter_errors(documents[kind])]
        check(not errors, f"{kind}: valid by winget's schema: {errors}")
    for kind, document in documents.items():
        check(document.get("ManifestType") == kind, f"{kind}: ManifestType {kind}")
        check(document.get("ManifestVersion") == "1.10.0", f"{kind}: ManifestVersion 1.10.0")
        check(document.get("PackageIdentifier") == identifier and IDENTIFIER.match(identifier),
              f"{kind}: PackageIdentifier")
        version = document.get("PackageVersion")
        check(version == expected["version"] and isinstance(version, str) and len(version) <= 128
              and VERSION.match(version), f"{kind}: PackageVersion {version!r}")

    check(documents["version"].get("DefaultLocale") == "en-US", "version: DefaultLocale en-US")

    locale = documents["defaultLocale"]
    check(locale.get("PackageLocale") == "en-US", "defaultLocale: PackageLocale en-US")
    check(text_field(locale, "Publisher", 2, 256) == expected["publisher"], "defaultLocale: Publisher")
    check(text_field(locale, "PackageName", 2, 256) == expected["title"], "defaultLocale: PackageName")
    check(text_field(locale, "License", 3, 512) == expected["license"], "defaultLocale: License")
    check(text_field(locale, "ShortDescription", 3, 256) == expected["description"],
          "defaultLocale: ShortDescription")

    installers = documents["installer"].get("Installers")
    check(isinstance(installers, list) and len(installers) == 1, "installer: one installer")
    installer = installers[0]
    check(installer.get("Architecture") in ARCHITECTURES, "installer: Architecture allowed")
    check(installer.get("Architecture") == expected["architecture"], "installer: Architecture of the stub")
    url = installer.get("InstallerUrl")
    check(isinstance(url, str) and len(url) <= 2048 and URL.match(url) and url == expected["url"],
          "installer: InstallerUrl")
    sha = installer.get("InstallerSha256")
    check(isinstance(sha, str) and SHA256.match(sha) and sha == sha.upper(),
          "installer: InstallerSha256 is 64 uppercase hexadecimal digits")
    summed = subprocess.run(["sha256sum", expected["package"]], capture_output=True, text=True,
                            check=True).stdout.split()[0]
    check(sha == summed.upper(), f"installer: InstallerSha256 {sha} is sha256sum's {summed}")
    check(installer.get("InstallerType") in INSTALLER_TYPES and installer["InstallerType"] == "exe",
          "installer: InstallerType exe")
    scope = expected["scope"]
    check(installer.get("Scope") == scope, f"installer: Scope {scope}")
    elevation = "elevatesSelf" if scope == "machine" else None
    check(installer.get("ElevationRequirement") == elevation,
          f"installer: ElevationRequirement {elevation}")
    check(installer.get("ProductCode") == expected["title"], "installer: ProductCode is the title")
    check(installer.get("UpgradeBehavior") == "install", "installer: UpgradeBehavior install")
    switches = installer.get("InstallerSwitches", {})
    check(switches.get("Silent") == "-silent" and switches.get("SilentWithProgress") == "-silent",
          "installer: Silent and SilentWithProgress -silent")
    # winget appends InstallLocation to the silent switch: `-silent "FOLDER"`.
    location = switches.get("InstallLocation")
    check(location == '"<INSTALLPATH>"', f"installer: InstallLocation {location!r}")
    codes = installer.get("ExpectedReturnCodes", [])
    check(sorted(c.get("InstallerReturnCode") for c in codes) == [1, 2],
          "installer: ExpectedReturnCodes for 1 and 2")
    check(all(c.get("ReturnResponse") in RETURN_RESPONSES for c in codes),
          "installer: every ReturnResponse allowed")
    entries = installer.get("AppsAndFeaturesEntries", [])
    check(len(entries) == 1, "installer: one AppsAndFeaturesEntries entry")
    entry = entries[0] if entries else {}
    check(entry.get("DisplayName") == expected["title"], "installer: DisplayName is the title")
    check(entry.get("Publisher") == expected["publisher"], "installer: Publisher")
    check(entry.get("DisplayVersion") == expected["version"], "installer: DisplayVersion")
    check(entry.get("ProductCode") == expected["title"], "installer: the entry's ProductCode")


def main():
    with tempfile.TemporaryDirectory() as work:
        def path(name):
            return os.path.join(work, name)

        with open(path("Aurora.scr"), "wb") as saver:
            saver.write(bytes(range(256)) * 300)
        for machine, architecture, scope in [(0x8664, "x64", "machine"), (0x14C, "x86", "user")]:
            with open(path("setup.exe"), "wb") as setup:
                setup.write(stub(machine))
            # A version YAML would read as a number, a publisher with what
            # YAML and the code page must both carry, a title with a quote.
            publisher = 'Lumière: "Night" & Co'
            title = "Aurora 'Nord'"
            result = run("build", "-o", path("Aurora-setup.exe"), "--stub", path("setup.exe"),
                         "--screensaver", path("Aurora.scr"), "--title", title,
                         "--version", "1.10", "--publisher", publisher, "--scope", scope)
            check(result.returncode == 0, f"build: {result.stderr}")
            folder = path("manifests " + architecture)
            os.mkdir(folder)
            for attempt in range(2):  # the second run replaces the files
                result = run("winget", path("Aurora-setup.exe"), "--id", "Lumiere.Aurora",
                             "--url", "https://example.org/Aurora-setup.exe",
                             "--license", "MIT", "-o", folder)
                check(result.returncode == 0 and result.stderr == "", f"winget: {result.stderr}")
            check(sorted(os.listdir(folder)) == ["Lumiere.Aurora.installer.yaml",
                                                 "Lumiere.Aurora.locale.en-US.yaml",
                                                 "Lumiere.Aurora.yaml"], "three files, nothing else")
            check_manifest(folder, "Lumiere.Aurora", {
                "version": "1.10", "publisher": publisher, "title": title, "license": "MIT",
                "description": "The Aurora 'Nord' screensaver.", "architecture": architecture,
                "scope": scope,
                "url": "https://example.org/Aurora-setup.exe", "package": path("Aurora-setup.exe")})

        # Refusals: (what, package builder options, winget options, status, message).
        with open(path("text.exe"), "wb") as text_stub:
            text_stub.write(b"not an executable" * 10)
        good = ["--version", "1.0", "--publisher", "Lumiere"]
        cases = [
            ("no version", ["--publisher", "Lumiere"], [], 1, "carries no version or no publisher"),
            ("no check block", good + ["truncate"], [], 1, "carries no version or no publisher"),
            ("damaged payload", good + ["flip"], [], 1, "is damaged: the CRC-32 of the screensaver"),
            ("no PE stub", good + ["text stub"], [], 1, "its stub is not an x86 or x64 Windows program"),
            ("version winget refuses", ["--version", "1/2", "--publisher", "Lumiere"], [], 1,
             "cannot be a winget PackageVersion"),
            ("one-part identifier", good, ["--id", "Aurora"], 2, "--id 'Aurora' is no package identifier"),
            ("identifier with a space", good, ["--id", "Lumi ere.Aurora"], 2, "is no package identifier"),
            ("not http", good, ["--url", "ftp://example.org/a.exe"], 2, "--url 'ftp://example.org/a.exe'"),
            ("licence too short", good, ["--license", "X"], 2, "--license 'X' must be 3 to 512"),
            ("no --url", good, ["--url", None], 2, "option --url is required"),
        ]
        for what, build_options, winget_options, status, message in cases:
            extra = [o for o in build_options if o not in ("truncate", "flip", "text stub")]
            setup = path("text.exe") if "text stub" in build_options else path("setup.exe")
            package = path("case.exe")
            result = run("build", "-o", package, "--stub", setup, "--screensaver",
                         path("Aurora.scr"), "--title", "Aurora", *extra)
            check(result.returncode == 0, f"{what}: build: {result.stderr}")
            with open(package, "r+b") as stream:
                data = stream.read()
                end = data.rindex(b"Vornex.sig") + 10
                if "truncate" in build_options:
                    stream.truncate(end)
                if "flip" in build_options:
                    stream.seek(len(stub(0x8664)) + 5)
                    stream.write(b"\xff")
            options = {"--id": "Lumiere.Aurora", "--url": "https://example.org/a.exe"}
            for i in range(0, len(winget_options), 2):
                options[winget_options[i]] = winget_options[i + 1]
            arguments = [item for name, value in options.items() if value is not None
                         for item in (name, value)]
            folder = path("refused")
            os.makedirs(folder, exist_ok=True)
            result = run("winget", package, *arguments, "-o", folder)
            check(result.returncode == status, f"{what}: exit status {result.returncode}, not {status}")
            check(message in result.stderr, f"{what}: message {result.stderr!r} names {message!r}")
            check(os.listdir(folder) == [], f"{what}: nothing written")
    if failures:
        sys.exit(f"{len(failures)} checks failed")
    print("all checks passed")


main()
