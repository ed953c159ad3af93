# Generates the report key catalogue (TKeys, KeyDefs, argument-code tables) from its one
# committed source into the build tree and compiles it into orv_system.
set(orv_keycat_dir ${PROJECT_SOURCE_DIR}/tools/keycatalog)
set(orv_keycat_out ${CMAKE_BINARY_DIR}/generated/reports/lang)
add_executable(orv_keycatalog ${orv_keycat_dir}/keycatalog.cpp)
add_custom_command(
  OUTPUT ${orv_keycat_out}/orvReps_KeyEnum.h ${orv_keycat_out}/orvReps_KeyDefsData.cpp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${orv_keycat_out}
  COMMAND orv_keycatalog ${orv_keycat_dir}/keys.txt ${orv_keycat_dir}/argcodes.txt
          ${orv_keycat_out}/orvReps_KeyEnum.h ${orv_keycat_out}/orvReps_KeyDefsData.cpp
  DEPENDS orv_keycatalog ${orv_keycat_dir}/keys.txt ${orv_keycat_dir}/argcodes.txt
  COMMENT "Generating the report key catalogue"
  VERBATIM)
target_sources(orv_system PRIVATE ${orv_keycat_out}/orvReps_KeyDefsData.cpp
                                  ${orv_keycat_out}/orvReps_KeyEnum.h)
target_include_directories(orv_system PUBLIC ${CMAKE_BINARY_DIR}/generated)
