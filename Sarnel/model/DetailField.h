// One detail field definition: what a job, folder, item or image can be described by.
#pragma once

#include "ObjectID.h"

#include "classlib/ClassLib.h"

#include <cstdint>

// How a field's values are converted and shown.
enum DetailFieldType : int32_t {
  DetailTypeText = 0,
  DetailTypeInteger = 1,
  DetailTypeReal = 2,
  DetailTypeDate = 3,
  DetailTypeCurrency = 4,
  DetailTypeYesNo = 5,
  DetailTypeGraphic = 6,
};

// The special role by which templates, the name parts and the import find a field whatever its name.
enum DetailFieldRole : int32_t {
  DetailRoleNone = 0,
  DetailRoleWholeName = 1,
  DetailRoleFirstName = 2,
  DetailRoleLastName = 3,
  DetailRoleMiddleName = 4,
  DetailRoleBirthdate = 5,
  DetailRoleUnique = 6,
  DetailRoleOrder = 7,
};

class DetailField {
 public:
  DetailField() = default;
  DetailField(const CObjectID& id, const CString& name, int32_t type, int32_t special)
      : id(id), name(name), type(type), special(special) {}

  // Identity, name, type, role and both reserved texts, byte for byte.
  bool IsEqual(const DetailField& other) const;

  void Write(zvk::Archive& archive) const;
  // Reads one record; an unknown major version is BadSchema, short data EndOfFile.
  void Read(zvk::Archive& archive);

  CObjectID id;
  CString name;
  int32_t type = DetailTypeText;
  // Kept, copied, compared and stored; the program itself always leaves them empty.
  CString reserved1;
  CString reserved2;
  int32_t special = DetailRoleNone;
};
