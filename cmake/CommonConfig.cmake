# One target that carries the language level, the warnings and the sanitizers for every
# library, executable and test of the project.
add_library(zoftp_config INTERFACE)
target_compile_features(zoftp_config INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(zoftp_config INTERFACE
        -Wall -Wextra -Wpedantic -Werror -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
        -Wno-error=deprecated-declarations)
elseif(MSVC)
    target_compile_options(zoftp_config INTERFACE /W4 /WX /utf-8 /permissive-)
endif()

target_compile_definitions(zoftp_config INTERFACE
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_DISABLE_DEPRECATED_UP_TO=0x060000
    ZOFTP_FILE_VERSION="${PROJECT_VERSION}")

if(ZOFTP_WITH_ASAN)
    set(ZOFTP_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    target_compile_options(zoftp_config INTERFACE ${ZOFTP_SANITIZE})
    target_link_options(zoftp_config INTERFACE ${ZOFTP_SANITIZE})
endif()
