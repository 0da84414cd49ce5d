#include "Backgrounds.h"

Backgrounds::Backgrounds()
    : LibraryCollection({BackgroundsSourceFile, BackgroundsMissingKeyLine, BackgroundsEntrySchemaLine,
                         BackgroundsListSchemaLine}) {}

void ReadBackgroundEntry(zvk::Archive& archive, LibraryEntry& entry) {
  ReadLibraryEntry(archive, entry, BackgroundsSourceFile, BackgroundsEntrySchemaLine);
}
