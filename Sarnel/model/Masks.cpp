#include "Masks.h"

Masks::Masks()
    : LibraryCollection({MasksSourceFile, MasksMissingKeyLine, MasksEntrySchemaLine, MasksListSchemaLine}) {}

void ReadMaskEntry(zvk::Archive& archive, LibraryEntry& entry) {
  ReadLibraryEntry(archive, entry, MasksSourceFile, MasksEntrySchemaLine);
}
