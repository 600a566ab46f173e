# The MSI package MSI with one more step, OUTPUT: a deferred action just before InstallFinalize,
# when everything else is in the installation script, that fails (DLL, msi_late_failure.cpp). For
# the rollback checks of check-msi.sh; it gets a PackageCode of its own, as any other package would.
#   cmake -DMSI=... -DDLL=... -DOUTPUT=... -DCODE_NAMESPACE=... -P LateFailure.cmake
cmake_minimum_required(VERSION 3.22)
set(work ${OUTPUT}.work)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
file(COPY_FILE ${MSI} ${OUTPUT})
# The Binary table as it is (msiinfo writes its streams beside it), and the failing DLL added.
execute_process(COMMAND msiinfo export ${OUTPUT} Binary OUTPUT_FILE ${work}/Binary.idt WORKING_DIRECTORY ${work}
                COMMAND_ERROR_IS_FATAL ANY)
file(COPY_FILE ${DLL} ${work}/Binary/Binary.FailLate)
file(APPEND ${work}/Binary.idt "FailLate\tBinary.FailLate\r\n")
execute_process(
    COMMAND msibuild ${OUTPUT} -i ${work}/Binary.idt
            -q "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('FailLate', 3073, 'FailLate', 'FailLate')"
            -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('FailLate', 6599)"
    WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY) # where the streams' files are found
file(REMOVE_RECURSE ${work})
set(MSI ${OUTPUT})
include(${CMAKE_CURRENT_LIST_DIR}/../resources/windows/PackageCode.cmake)
