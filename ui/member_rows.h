// The controls of each member's row in the main window: name label, current
// count field and total count field, in roster order.
#pragma once

#include "core/roster.h"

namespace quenbol {

struct MemberRowControls {
    int label;
    int current;
    int total;
};

inline constexpr MemberRowControls kMemberRows[kMemberCount] = {
    {1014, 1010, 1011}, {1015, 1012, 1035}, {1016, 1013, 1036}, {1017, 1026, 1037},
    {1018, 1027, 1038}, {1019, 1028, 1039}, {1020, 1029, 1040}, {1021, 1030, 1041},
    {1022, 1031, 1042}, {1023, 1032, 1043}, {1024, 1033, 1044}, {1025, 1034, 1045},
    {1046, 1054, 1062}, {1047, 1055, 1063}, {1048, 1056, 1064}, {1049, 1057, 1065},
    {1050, 1058, 1066}, {1051, 1059, 1067}, {1052, 1060, 1068}, {1053, 1061, 1069},
    {1076, 1074, 1075},
};

}  // namespace quenbol
