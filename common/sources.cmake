list(APPEND MURLO_COMMON_PORTABLE common/log_record.cpp)
