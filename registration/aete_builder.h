// Builds a scripting terminology in its Windows resource form: a reserved word 1, format
// version 1.0, language, script and the suites, all little-endian with no alignment padding.
// Every event replies with a type and takes a direct parameter whose descriptions are always
// written empty: hosts read those two types as NUL-terminated strings, or skip a fixed seven
// bytes after them, and a description there would derail them. The terminology carries no
// classes, comparison operators or enumerations; the three counts are written as zero.
// Failure (a name longer than a Pascal string holds) returns an empty vector.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TerminologyParameter {
  std::string name;
  uint32_t key;
  uint32_t type;
  std::string description;
  uint16_t flags;
};

struct TerminologyEvent {
  std::string name;
  std::string description;
  uint32_t eventClass;
  uint32_t eventId;
  uint32_t replyType;
  uint16_t replyFlags;
  uint32_t directType;
  uint16_t directFlags;
  std::vector<TerminologyParameter> parameters;
};

struct TerminologySuite {
  std::string name;
  std::string description;
  uint32_t id;
  uint16_t level;
  uint16_t version;
  std::vector<TerminologyEvent> events;
};

struct Terminology {
  uint16_t language;
  uint16_t script;
  std::vector<TerminologySuite> suites;
};

std::vector<uint8_t> buildTerminology(const Terminology& terminology);
