# Sources free of windows.h, relative to the repository top, and the unit tests that
# exercise only them.
set(PURE_SOURCES
  src/app/OptionScanner.cpp
  src/app/OptionParser.cpp
  src/launch/CommandLineText.cpp
  src/launch/DatabasePath.cpp
  src/launch/EnvironmentPlaceholders.cpp
  src/app/PathText.cpp
  src/registry/Hive.cpp
  src/registry/FixedValueTable.cpp
  src/environment/TrustedLocationText.cpp
  src/environment/ObjectLibraryText.cpp
  src/environment/ComponentPathTable.cpp
  src/discovery/AccessEditions.cpp
  src/discovery/LanguageTable.cpp
  src/discovery/CommandExecutable.cpp
  src/discovery/InstallerPath.cpp
  src/launch/QuotedCommand.cpp
  src/app/AsciiCase.cpp
)
set(PURE_TESTS
  tests/unit/OptionParserTest.cpp
  tests/unit/CommandLineTextTest.cpp
  tests/unit/EnvironmentTextTest.cpp
  tests/unit/DiscoveryTextTest.cpp
)
# One file tests/fuzz/<name>.cpp and one seed folder tests/fuzz/corpus/<name> each.
set(FUZZ_TARGETS
  options
)
