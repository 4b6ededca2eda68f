# The report templates, packed from their sources into <build>/Tessaro/, the
# folder beside host-sim.exe against which the plug-in's template paths resolve.
# ReportTemplate.odt is the same report without the graph section.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(report_template_source "${CMAKE_CURRENT_LIST_DIR}/report")
file(GLOB_RECURSE report_template_files CONFIGURE_DEPENDS "${report_template_source}/*")
set(report_template_out "${CMAKE_BINARY_DIR}/Tessaro")
set(report_packer "${CMAKE_SOURCE_DIR}/tools/pack_odt.py")
add_custom_command(
  OUTPUT "${report_template_out}/ReportTemplateWitchGraph.odt" "${report_template_out}/ReportTemplate.odt"
  COMMAND Python3::Interpreter "${report_packer}" "${report_template_source}"
          "${report_template_out}/ReportTemplateWitchGraph.odt"
  COMMAND Python3::Interpreter "${report_packer}" "${report_template_source}"
          "${report_template_out}/ReportTemplate.odt" --drop-section data:graphComp
  DEPENDS ${report_template_files} "${report_packer}"
  COMMENT "Packing the report templates" VERBATIM)
add_custom_target(report_templates ALL DEPENDS "${report_template_out}/ReportTemplateWitchGraph.odt"
                  "${report_template_out}/ReportTemplate.odt")
