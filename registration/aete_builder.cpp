#include "registration/aete_builder.h"

#include "registration/byte_writer.h"

namespace {

void writeParameter(ByteWriter& writer, const TerminologyParameter& parameter) {
  writer.pascalString(parameter.name);
  writer.code(parameter.key);
  writer.code(parameter.type);
  writer.pascalString(parameter.description);
  writer.word(parameter.flags);
}

void writeEvent(ByteWriter& writer, const TerminologyEvent& event) {
  writer.pascalString(event.name);
  writer.pascalString(event.description);
  writer.code(event.eventClass);
  writer.code(event.eventId);
  writer.code(event.replyType);
  writer.pascalString("");
  writer.word(event.replyFlags);
  writer.code(event.directType);
  writer.pascalString("");
  writer.word(event.directFlags);
  writer.word(uint16_t(event.parameters.size()));
  for (const TerminologyParameter& parameter : event.parameters) writeParameter(writer, parameter);
}

void writeSuite(ByteWriter& writer, const TerminologySuite& suite) {
  writer.pascalString(suite.name);
  writer.pascalString(suite.description);
  writer.code(suite.id);
  writer.word(suite.level);
  writer.word(suite.version);
  writer.word(uint16_t(suite.events.size()));
  for (const TerminologyEvent& event : suite.events) writeEvent(writer, event);
  writer.word(0);  // classes
  writer.word(0);  // comparison operators
  writer.word(0);  // enumerations
}

}  // namespace

std::vector<uint8_t> buildTerminology(const Terminology& terminology) {
  ByteWriter writer;
  writer.word(1);
  writer.byte(1);  // format version 1.0: major, then minor
  writer.byte(0);
  writer.word(terminology.language);
  writer.word(terminology.script);
  writer.word(uint16_t(terminology.suites.size()));
  for (const TerminologySuite& suite : terminology.suites) writeSuite(writer, suite);
  return writer.ok() ? writer.data() : std::vector<uint8_t>();
}
