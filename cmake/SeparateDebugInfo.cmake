# Moves a program's debug information into a file of its own beside it
# (NAME.debug, which gdb finds through the program's debug link), as
# distributions ship them. The program then reads, from a cold disk, no
# more than an installed one: with the disk's read-ahead in megabytes, a
# start otherwise pulls tens of megabytes of debug information through the
# page cache.
function(vn_separate_debug_info target)
  if(NOT CMAKE_OBJCOPY OR VOICENOTES_SANITIZERS)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
            $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
