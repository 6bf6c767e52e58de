# The resources of the Windows program. Include this file, then for each program call
#
#   sorvane_add_windows_resources(TARGET)
#
# which renders the icon and the toolbar pictures from the SVG drawings in data/icons into the
# build folder, writes the target's resource script from sorvane.rc.in with the project version,
# and compiles it (with windres, CMake's RC language) into the target. The target's sources can
# then #include "resource_ids.h" for the numbers LoadImageW and ImageList_Create take.
include_guard(GLOBAL)

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
# ImageMagick: joins the pictures into one bitmap strip and the icon sizes into one .ico.
find_program(SORVANE_IMAGEMAGICK_CONVERT NAMES convert magick REQUIRED)

function(sorvane_add_windows_resources target)
    set(here ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
    cmake_path(SET drawings NORMALIZE "${here}/../../../data/icons")
    # Each target has its own images and script, so that targets in one folder do not share
    # (and race to make) the same files.
    set(images ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
    file(MAKE_DIRECTORY ${images})

    # The icon at every size Windows asks an .ico for, from the title bar's 16 pixels to the
    # 256 of Explorer's large views and the Start menu at high DPI. ImageMagick stores the 256
    # pixel one as PNG, as Windows Vista and later read it; the others as 32-bit bitmaps with
    # alpha, which every version reads.
    set(app_svg ${drawings}/org.sorvane.Sorvane.svg)
    set(ico ${images}/sorvane.ico)
    set(render_commands)
    set(icon_pngs)
    foreach(size 16 24 32 48 64 256)
        set(png ${images}/sorvane-${size}.png)
        list(APPEND render_commands
             COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${app_svg})
        list(APPEND icon_pngs ${png})
    endforeach()
    add_custom_command(OUTPUT ${ico}
        ${render_commands}
        COMMAND ${SORVANE_IMAGEMAGICK_CONVERT} ${icon_pngs} ${ico}
        BYPRODUCTS ${icon_pngs}
        DEPENDS ${app_svg}
        COMMENT "Rendering the Windows icon of ${target}"
        VERBATIM)

    # The toolbar pictures, paste then copy as resource_ids.h numbers them, side by side in one
    # bitmap per scale: 100%, 150% and 200%. BMP3 is the plain BITMAPINFOHEADER form that
    # LoadImageW and the image lists read everywhere; bmp3:alpha keeps it at 32 bits with the
    # alpha channel (without it ImageMagick writes 24 bits and the pictures lose their
    # transparent edges).
    set(strips)
    foreach(size 16 24 32)
        set(strip ${images}/toolbar-pictures-${size}.bmp)
        set(pngs)
        set(render_commands)
        set(svgs)
        foreach(picture paste copy)
            set(png ${images}/${picture}-${size}.png)
            list(APPEND render_commands COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                                                ${drawings}/${picture}.svg)
            list(APPEND pngs ${png})
            list(APPEND svgs ${drawings}/${picture}.svg)
        endforeach()
        add_custom_command(OUTPUT ${strip}
            ${render_commands}
            COMMAND ${SORVANE_IMAGEMAGICK_CONVERT} ${pngs} +append -define bmp3:alpha=true
                    BMP3:${strip}
            BYPRODUCTS ${pngs}
            DEPENDS ${svgs}
            COMMENT "Rendering the ${size}x${size} toolbar pictures of ${target}"
            VERBATIM)
        list(APPEND strips ${strip})
    endforeach()

    # The script names the images and the manifest by their full paths. The version
    # information takes four numbers; a project version of fewer parts counts the missing ones
    # as 0.
    set(numbers)
    foreach(part MAJOR MINOR PATCH TWEAK)
        if("${PROJECT_VERSION_${part}}" STREQUAL "")
            list(APPEND numbers 0)
        else()
            list(APPEND numbers ${PROJECT_VERSION_${part}})
        endif()
    endforeach()
    list(JOIN numbers "," version_numbers)
    set(rc ${images}/sorvane.rc)
    configure_file(${here}/sorvane.rc.in ${rc} @ONLY)

    # The images are sources too, so the target's build runs the commands that make them; the
    # script is compiled again whenever one of them changes.
    target_sources(${target} PRIVATE ${rc} ${ico} ${strips})
    set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES
        OBJECT_DEPENDS "${ico};${strips};${here}/resource_ids.h;${here}/sorvane.exe.manifest")
    target_include_directories(${target} PRIVATE ${here})
    # For the installer, which shows the same icon in the Start menu and in Apps.
    set_property(TARGET ${target} PROPERTY SORVANE_ICON_FILE ${ico})
endfunction()
