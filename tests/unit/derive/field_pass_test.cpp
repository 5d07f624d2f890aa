// The one-pass derivation of all 40 fields gives, field by field, what each derivation gives on its own: over the
// golden corpus, with text buffers small enough to cut what the fields share, and on records whose name parts,
// IIN and country are too long to be shared.
#include <gtest/gtest.h>
#include <quorix/result_fields.h>

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/instance.h"
#include "unit/support/golden_corpus.h"
#include "unit/support/record_builder.h"
#include "unit/support/parse_outcome.h"

namespace quorix {
namespace {

using testing::Instance;

using testing::RecordBuilder;

constexpr DateTime kNow{.year = 2024, .month = 6, .day = 15, .hour = 12, .minute = 0, .second = 0};

// One line per field: absent, a flag or a text, so that a mismatch names the field and both values.
std::string describe(std::int32_t index, const FieldValue& value) {
  const ResultField& field = kResultFields[index];
  std::string line(field.javaName);
  if (!value.present) {
    line.append(" absent");
  } else if (field.flag != nullptr) {
    line.append(value.flag == 1 ? "=1" : "=0");
  } else {
    line.append("=").append(value.text);
  }
  return line;
}

std::vector<std::string> oneByOne(ParserInstance& instance) {
  std::vector<std::string> values;
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(std::size(kResultFields)); ++i)
    values.push_back(describe(i, deriveFieldValue(instance, kResultFields[i])));
  return values;
}

std::vector<std::string> inOnePass(ParserInstance& instance) {
  std::vector<std::string> values;
  deriveFieldValues(
      instance,
      [](void* context, std::int32_t index, const FieldValue& value) {
        static_cast<std::vector<std::string>*>(context)->push_back(describe(index, value));
      },
      &values);
  return values;
}

// Sizes around the shared buffers (16, 32 and 64 bytes) and the kept name parts (256), down to a lone terminator.
constexpr std::int32_t kBufferSizes[] = {1, 2, 3, 8, 11, 12, 15, 16, 17, 30, 31, 32, 33, 63, 64, 65, 100, 258, 600};

void expectSameAtEverySize(ParserInstance& instance) {
  const std::int32_t fullSize = instance.textBufferSize;
  EXPECT_EQ(inOnePass(instance), oneByOne(instance)) << "buffer of " << fullSize;
  for (const std::int32_t size : kBufferSizes) {
    if (size > fullSize) continue;
    instance.textBufferSize = size;
    EXPECT_EQ(inOnePass(instance), oneByOne(instance)) << "buffer of " << size;
  }
  instance.textBufferSize = fullSize;
}

TEST(DeriveFieldValues, GivesEachFieldAsItsOwnDerivationOverTheCorpus) {
  const Instance instance(createInstance());
  ASSERT_NE(instance, nullptr);
  std::int32_t accepted = 0;
  for (const std::string& text : testing::goldenTexts()) {
    SCOPED_TRACE(text.substr(0, 40));
    const Status status = parseBufferAt(instance.get(), text.data(), static_cast<std::int32_t>(text.size()), kNow);
    accepted += status == kStatusOk ? 1 : 0;
    expectSameAtEverySize(*instance);
  }
  EXPECT_GT(accepted, 100);  // the corpus was found and parsed
}

// Records built by hand, put into an instance of their own so that the pass reads them as a parse would leave them.
TEST(DeriveFieldValues, FallsBackWhereSharedWorkIsTooLongToKeep) {
  const std::string longWord(300, 'Q');
  const std::string longIin = "6360" + std::string(40, '1');
  const std::string longCountry = "REPUBLIC OF " + std::string(70, 'X');
  const std::vector<RecordBuilder::Built> records = {
      // Parts longer than a kept part, joined by the full name.
      RecordBuilder().set(SLOT_FIRST_NAME, longWord).set(SLOT_FAMILY_NAME, "SMITH").build(),
      RecordBuilder()
          .set(SLOT_FIRST_NAME, "JOHN")
          .set(SLOT_MIDDLE_NAME, longWord)
          .set(SLOT_FAMILY_NAME, longWord)
          .build(),
      // A full name that is all NONE is joined from the parts, which the correction row of Alabama splits.
      RecordBuilder()
          .set(SLOT_FULL_NAME, "NONE")
          .set(SLOT_FAMILY_NAME, "DOE")
          .set(SLOT_GIVEN_NAMES, "JANE ANN")
          .build(),
      RecordBuilder().set(SLOT_FULL_NAME, "JANE,ANN,,DOE,JR").set(SLOT_JURISDICTION, "AL").build(),
      RecordBuilder().set(SLOT_FULL_NAME, "SMITH,JR,JOHN").set(SLOT_NAME_SUFFIX, "NONE").build(),
      // An IIN longer than the buffer issuedBy reads it from, known or not.
      RecordBuilder().set(SLOT_IIN, longIin).set(SLOT_JURISDICTION, "NY").build(),
      RecordBuilder().set(SLOT_IIN, longIin).build(),
      // Country and jurisdiction longer than the buffers the country code reads them from.
      RecordBuilder().set(SLOT_COUNTRY, longCountry).build(),
      RecordBuilder().set(SLOT_JURISDICTION, longCountry).build(),
      // A class code longer than the kept copy that vehicleClassCode repeats.
      RecordBuilder().set(SLOT_VEHICLE_CLASS, longCountry).build(),
      RecordBuilder().build(),
  };
  std::vector<char> buffer(2048);
  for (const RecordBuilder::Built& built : records) {
    SCOPED_TRACE(testing::slotText(built.record, SLOT_FULL_NAME) + "|" + testing::slotText(built.record, SLOT_IIN));
    ParserInstance instance;
    instance.record = built.record;
    instance.textBuffer = buffer.data();
    instance.textBufferSize = static_cast<std::int32_t>(buffer.size());
    expectSameAtEverySize(instance);
  }
}

}  // namespace
}  // namespace quorix
